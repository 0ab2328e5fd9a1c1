
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/gui/about_dialog.cpp" "src/CMakeFiles/mk_gui.dir/gui/about_dialog.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/about_dialog.cpp.o.d"
  "/work/main/src/gui/cell_grid_view.cpp" "src/CMakeFiles/mk_gui.dir/gui/cell_grid_view.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/cell_grid_view.cpp.o.d"
  "/work/main/src/gui/day_load_dialog.cpp" "src/CMakeFiles/mk_gui.dir/gui/day_load_dialog.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/day_load_dialog.cpp.o.d"
  "/work/main/src/gui/graph_pane.cpp" "src/CMakeFiles/mk_gui.dir/gui/graph_pane.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/graph_pane.cpp.o.d"
  "/work/main/src/gui/gui_sinks.cpp" "src/CMakeFiles/mk_gui.dir/gui/gui_sinks.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/gui_sinks.cpp.o.d"
  "/work/main/src/gui/loading_window.cpp" "src/CMakeFiles/mk_gui.dir/gui/loading_window.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/loading_window.cpp.o.d"
  "/work/main/src/gui/main_window.cpp" "src/CMakeFiles/mk_gui.dir/gui/main_window.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/main_window.cpp.o.d"
  "/work/main/src/gui/main_window_actions.cpp" "src/CMakeFiles/mk_gui.dir/gui/main_window_actions.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/main_window_actions.cpp.o.d"
  "/work/main/src/gui/main_window_dialogs.cpp" "src/CMakeFiles/mk_gui.dir/gui/main_window_dialogs.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/main_window_dialogs.cpp.o.d"
  "/work/main/src/gui/options_dialog.cpp" "src/CMakeFiles/mk_gui.dir/gui/options_dialog.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/options_dialog.cpp.o.d"
  "/work/main/src/gui/track_update_dialog.cpp" "src/CMakeFiles/mk_gui.dir/gui/track_update_dialog.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/gui/track_update_dialog.cpp.o.d"
  "/work/main/src/mk_gui_autogen/mocs_compilation.cpp" "src/CMakeFiles/mk_gui.dir/mk_gui_autogen/mocs_compilation.cpp.o" "gcc" "src/CMakeFiles/mk_gui.dir/mk_gui_autogen/mocs_compilation.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_driver.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_web.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_output.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_window.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_view.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_maintenance.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_settings.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_analysis.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_local.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
