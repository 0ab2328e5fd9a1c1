
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/support/crash_harness.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/crash_harness.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/crash_harness.cpp.o.d"
  "/work/main/tests/support/fifo_watchdog.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/fifo_watchdog.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/fifo_watchdog.cpp.o.d"
  "/work/main/tests/support/fixture_databases.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/fixture_databases.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/fixture_databases.cpp.o.d"
  "/work/main/tests/support/gui_environment.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/gui_environment.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/gui_environment.cpp.o.d"
  "/work/main/tests/support/http_test_server.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/http_test_server.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/http_test_server.cpp.o.d"
  "/work/main/tests/support/print_race.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/print_race.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/print_race.cpp.o.d"
  "/work/main/tests/support/sample_race.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/sample_race.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/sample_race.cpp.o.d"
  "/work/main/tests/support/site_pages.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/site_pages.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/site_pages.cpp.o.d"
  "/work/main/tests/support/sqlite_file.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/sqlite_file.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/sqlite_file.cpp.o.d"
  "/work/main/tests/support/test_folder.cpp" "tests/CMakeFiles/mk_testsupport.dir/support/test_folder.cpp.o" "gcc" "tests/CMakeFiles/mk_testsupport.dir/support/test_folder.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
