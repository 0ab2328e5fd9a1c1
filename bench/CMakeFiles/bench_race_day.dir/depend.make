# Empty dependencies file for bench_race_day.
# This may be replaced when dependencies are built.
