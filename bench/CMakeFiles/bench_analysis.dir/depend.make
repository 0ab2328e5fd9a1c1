# Empty dependencies file for bench_analysis.
# This may be replaced when dependencies are built.
