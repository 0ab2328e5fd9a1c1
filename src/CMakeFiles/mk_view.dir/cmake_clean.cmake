file(REMOVE_RECURSE
  "CMakeFiles/mk_view.dir/view/bacyu_table.cpp.o"
  "CMakeFiles/mk_view.dir/view/bacyu_table.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/cell_grid.cpp.o"
  "CMakeFiles/mk_view.dir/view/cell_grid.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/graph_axes.cpp.o"
  "CMakeFiles/mk_view.dir/view/graph_axes.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/graph_figures.cpp.o"
  "CMakeFiles/mk_view.dir/view/graph_figures.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/graph_layout.cpp.o"
  "CMakeFiles/mk_view.dir/view/graph_layout.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/graph_legend.cpp.o"
  "CMakeFiles/mk_view.dir/view/graph_legend.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/graph_overlays.cpp.o"
  "CMakeFiles/mk_view.dir/view/graph_overlays.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/graph_view.cpp.o"
  "CMakeFiles/mk_view.dir/view/graph_view.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/grid_render.cpp.o"
  "CMakeFiles/mk_view.dir/view/grid_render.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/hikaku_graph.cpp.o"
  "CMakeFiles/mk_view.dir/view/hikaku_graph.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/painter_draw_box.cpp.o"
  "CMakeFiles/mk_view.dir/view/painter_draw_box.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/recorded_drawing.cpp.o"
  "CMakeFiles/mk_view.dir/view/recorded_drawing.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/runner_panels.cpp.o"
  "CMakeFiles/mk_view.dir/view/runner_panels.cpp.o.d"
  "CMakeFiles/mk_view.dir/view/view_text.cpp.o"
  "CMakeFiles/mk_view.dir/view/view_text.cpp.o.d"
  "libmk_view.a"
  "libmk_view.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_view.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
