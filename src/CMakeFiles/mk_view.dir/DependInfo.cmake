
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/view/bacyu_table.cpp" "src/CMakeFiles/mk_view.dir/view/bacyu_table.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/bacyu_table.cpp.o.d"
  "/work/main/src/view/cell_grid.cpp" "src/CMakeFiles/mk_view.dir/view/cell_grid.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/cell_grid.cpp.o.d"
  "/work/main/src/view/graph_axes.cpp" "src/CMakeFiles/mk_view.dir/view/graph_axes.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/graph_axes.cpp.o.d"
  "/work/main/src/view/graph_figures.cpp" "src/CMakeFiles/mk_view.dir/view/graph_figures.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/graph_figures.cpp.o.d"
  "/work/main/src/view/graph_layout.cpp" "src/CMakeFiles/mk_view.dir/view/graph_layout.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/graph_layout.cpp.o.d"
  "/work/main/src/view/graph_legend.cpp" "src/CMakeFiles/mk_view.dir/view/graph_legend.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/graph_legend.cpp.o.d"
  "/work/main/src/view/graph_overlays.cpp" "src/CMakeFiles/mk_view.dir/view/graph_overlays.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/graph_overlays.cpp.o.d"
  "/work/main/src/view/graph_view.cpp" "src/CMakeFiles/mk_view.dir/view/graph_view.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/graph_view.cpp.o.d"
  "/work/main/src/view/grid_render.cpp" "src/CMakeFiles/mk_view.dir/view/grid_render.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/grid_render.cpp.o.d"
  "/work/main/src/view/hikaku_graph.cpp" "src/CMakeFiles/mk_view.dir/view/hikaku_graph.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/hikaku_graph.cpp.o.d"
  "/work/main/src/view/painter_draw_box.cpp" "src/CMakeFiles/mk_view.dir/view/painter_draw_box.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/painter_draw_box.cpp.o.d"
  "/work/main/src/view/recorded_drawing.cpp" "src/CMakeFiles/mk_view.dir/view/recorded_drawing.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/recorded_drawing.cpp.o.d"
  "/work/main/src/view/runner_panels.cpp" "src/CMakeFiles/mk_view.dir/view/runner_panels.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/runner_panels.cpp.o.d"
  "/work/main/src/view/view_text.cpp" "src/CMakeFiles/mk_view.dir/view/view_text.cpp.o" "gcc" "src/CMakeFiles/mk_view.dir/view/view_text.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
