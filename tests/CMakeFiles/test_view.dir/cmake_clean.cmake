file(REMOVE_RECURSE
  "CMakeFiles/test_view.dir/view/bacyu_table_test.cpp.o"
  "CMakeFiles/test_view.dir/view/bacyu_table_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/drawing_backends_test.cpp.o"
  "CMakeFiles/test_view.dir/view/drawing_backends_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/graph_axes_test.cpp.o"
  "CMakeFiles/test_view.dir/view/graph_axes_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/graph_figures_test.cpp.o"
  "CMakeFiles/test_view.dir/view/graph_figures_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/graph_fixture.cpp.o"
  "CMakeFiles/test_view.dir/view/graph_fixture.cpp.o.d"
  "CMakeFiles/test_view.dir/view/graph_legend_test.cpp.o"
  "CMakeFiles/test_view.dir/view/graph_legend_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/graph_overlays_test.cpp.o"
  "CMakeFiles/test_view.dir/view/graph_overlays_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/graph_view_test.cpp.o"
  "CMakeFiles/test_view.dir/view/graph_view_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/grid_render_test.cpp.o"
  "CMakeFiles/test_view.dir/view/grid_render_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/gui_environment.cpp.o"
  "CMakeFiles/test_view.dir/view/gui_environment.cpp.o.d"
  "CMakeFiles/test_view.dir/view/hikaku_graph_test.cpp.o"
  "CMakeFiles/test_view.dir/view/hikaku_graph_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/runner_panels_test.cpp.o"
  "CMakeFiles/test_view.dir/view/runner_panels_test.cpp.o.d"
  "CMakeFiles/test_view.dir/view/view_store.cpp.o"
  "CMakeFiles/test_view.dir/view/view_store.cpp.o.d"
  "test_view"
  "test_view.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_view.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
