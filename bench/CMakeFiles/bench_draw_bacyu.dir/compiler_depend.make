# Empty compiler generated dependencies file for bench_draw_bacyu.
# This may be replaced when dependencies are built.
