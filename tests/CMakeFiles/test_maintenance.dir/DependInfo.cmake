
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/maintenance/about_info_test.cpp" "tests/CMakeFiles/test_maintenance.dir/maintenance/about_info_test.cpp.o" "gcc" "tests/CMakeFiles/test_maintenance.dir/maintenance/about_info_test.cpp.o.d"
  "/work/main/tests/maintenance/track_data_update_test.cpp" "tests/CMakeFiles/test_maintenance.dir/maintenance/track_data_update_test.cpp.o" "gcc" "tests/CMakeFiles/test_maintenance.dir/maintenance/track_data_update_test.cpp.o.d"
  "/work/main/tests/maintenance/track_files.cpp" "tests/CMakeFiles/test_maintenance.dir/maintenance/track_files.cpp.o" "gcc" "tests/CMakeFiles/test_maintenance.dir/maintenance/track_files.cpp.o.d"
  "/work/main/tests/maintenance/track_update_crash_test.cpp" "tests/CMakeFiles/test_maintenance.dir/maintenance/track_update_crash_test.cpp.o" "gcc" "tests/CMakeFiles/test_maintenance.dir/maintenance/track_update_crash_test.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_maintenance.dir/DependInfo.cmake"
  "/work/main/tests/CMakeFiles/mk_testsupport.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_settings.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_analysis.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
