
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/window/shown_runner.cpp" "src/CMakeFiles/mk_window.dir/window/shown_runner.cpp.o" "gcc" "src/CMakeFiles/mk_window.dir/window/shown_runner.cpp.o.d"
  "/work/main/src/window/window_views.cpp" "src/CMakeFiles/mk_window.dir/window/window_views.cpp.o" "gcc" "src/CMakeFiles/mk_window.dir/window/window_views.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_view.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_settings.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_analysis.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
