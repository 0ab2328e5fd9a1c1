# Empty compiler generated dependencies file for bench_draw_graph.
# This may be replaced when dependencies are built.
