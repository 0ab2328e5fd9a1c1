# Empty dependencies file for bench_track_lookup.
# This may be replaced when dependencies are built.
