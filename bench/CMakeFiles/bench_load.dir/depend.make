# Empty dependencies file for bench_load.
# This may be replaced when dependencies are built.
