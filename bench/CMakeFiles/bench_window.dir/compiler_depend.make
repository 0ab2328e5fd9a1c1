# Empty compiler generated dependencies file for bench_window.
# This may be replaced when dependencies are built.
