
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/analysis/runner_statistics_test.cpp" "tests/CMakeFiles/test_analysis.dir/analysis/runner_statistics_test.cpp.o" "gcc" "tests/CMakeFiles/test_analysis.dir/analysis/runner_statistics_test.cpp.o.d"
  "/work/main/tests/analysis/sample_track_data_test.cpp" "tests/CMakeFiles/test_analysis.dir/analysis/sample_track_data_test.cpp.o" "gcc" "tests/CMakeFiles/test_analysis.dir/analysis/sample_track_data_test.cpp.o.d"
  "/work/main/tests/analysis/speed_figures_test.cpp" "tests/CMakeFiles/test_analysis.dir/analysis/speed_figures_test.cpp.o" "gcc" "tests/CMakeFiles/test_analysis.dir/analysis/speed_figures_test.cpp.o.d"
  "/work/main/tests/analysis/track_db_test.cpp" "tests/CMakeFiles/test_analysis.dir/analysis/track_db_test.cpp.o" "gcc" "tests/CMakeFiles/test_analysis.dir/analysis/track_db_test.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_analysis.dir/DependInfo.cmake"
  "/work/main/tests/CMakeFiles/mk_testsupport.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
