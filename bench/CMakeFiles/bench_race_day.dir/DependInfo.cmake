
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/bench/bench_race_day.cpp" "bench/CMakeFiles/bench_race_day.dir/bench_race_day.cpp.o" "gcc" "bench/CMakeFiles/bench_race_day.dir/bench_race_day.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/tests/CMakeFiles/mk_testsupport.dir/DependInfo.cmake"
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
