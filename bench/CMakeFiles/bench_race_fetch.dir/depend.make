# Empty dependencies file for bench_race_fetch.
# This may be replaced when dependencies are built.
