
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/view/bacyu_table_test.cpp" "tests/CMakeFiles/test_view.dir/view/bacyu_table_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/bacyu_table_test.cpp.o.d"
  "/work/main/tests/view/drawing_backends_test.cpp" "tests/CMakeFiles/test_view.dir/view/drawing_backends_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/drawing_backends_test.cpp.o.d"
  "/work/main/tests/view/graph_axes_test.cpp" "tests/CMakeFiles/test_view.dir/view/graph_axes_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/graph_axes_test.cpp.o.d"
  "/work/main/tests/view/graph_figures_test.cpp" "tests/CMakeFiles/test_view.dir/view/graph_figures_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/graph_figures_test.cpp.o.d"
  "/work/main/tests/view/graph_fixture.cpp" "tests/CMakeFiles/test_view.dir/view/graph_fixture.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/graph_fixture.cpp.o.d"
  "/work/main/tests/view/graph_legend_test.cpp" "tests/CMakeFiles/test_view.dir/view/graph_legend_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/graph_legend_test.cpp.o.d"
  "/work/main/tests/view/graph_overlays_test.cpp" "tests/CMakeFiles/test_view.dir/view/graph_overlays_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/graph_overlays_test.cpp.o.d"
  "/work/main/tests/view/graph_view_test.cpp" "tests/CMakeFiles/test_view.dir/view/graph_view_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/graph_view_test.cpp.o.d"
  "/work/main/tests/view/grid_render_test.cpp" "tests/CMakeFiles/test_view.dir/view/grid_render_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/grid_render_test.cpp.o.d"
  "/work/main/tests/view/gui_environment.cpp" "tests/CMakeFiles/test_view.dir/view/gui_environment.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/gui_environment.cpp.o.d"
  "/work/main/tests/view/hikaku_graph_test.cpp" "tests/CMakeFiles/test_view.dir/view/hikaku_graph_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/hikaku_graph_test.cpp.o.d"
  "/work/main/tests/view/runner_panels_test.cpp" "tests/CMakeFiles/test_view.dir/view/runner_panels_test.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/runner_panels_test.cpp.o.d"
  "/work/main/tests/view/view_store.cpp" "tests/CMakeFiles/test_view.dir/view/view_store.cpp.o" "gcc" "tests/CMakeFiles/test_view.dir/view/view_store.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_view.dir/DependInfo.cmake"
  "/work/main/tests/CMakeFiles/mk_testsupport.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
