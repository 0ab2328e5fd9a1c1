
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/cli/cli_day_test.cpp" "tests/CMakeFiles/test_cli.dir/cli/cli_day_test.cpp.o" "gcc" "tests/CMakeFiles/test_cli.dir/cli/cli_day_test.cpp.o.d"
  "/work/main/tests/cli/cli_load_test.cpp" "tests/CMakeFiles/test_cli.dir/cli/cli_load_test.cpp.o" "gcc" "tests/CMakeFiles/test_cli.dir/cli/cli_load_test.cpp.o.d"
  "/work/main/tests/cli/cli_process.cpp" "tests/CMakeFiles/test_cli.dir/cli/cli_process.cpp.o" "gcc" "tests/CMakeFiles/test_cli.dir/cli/cli_process.cpp.o.d"
  "/work/main/tests/cli/demo_test.cpp" "tests/CMakeFiles/test_cli.dir/cli/demo_test.cpp.o" "gcc" "tests/CMakeFiles/test_cli.dir/cli/demo_test.cpp.o.d"
  "/work/main/tests/cli/gui_environment.cpp" "tests/CMakeFiles/test_cli.dir/cli/gui_environment.cpp.o" "gcc" "tests/CMakeFiles/test_cli.dir/cli/gui_environment.cpp.o.d"
  "/work/main/tests/cli/network_faults_test.cpp" "tests/CMakeFiles/test_cli.dir/cli/network_faults_test.cpp.o" "gcc" "tests/CMakeFiles/test_cli.dir/cli/network_faults_test.cpp.o.d"
  "/work/main/tests/cli/terminal_test.cpp" "tests/CMakeFiles/test_cli.dir/cli/terminal_test.cpp.o" "gcc" "tests/CMakeFiles/test_cli.dir/cli/terminal_test.cpp.o.d"
  "/work/main/tests/cli/usage_test.cpp" "tests/CMakeFiles/test_cli.dir/cli/usage_test.cpp.o" "gcc" "tests/CMakeFiles/test_cli.dir/cli/usage_test.cpp.o.d"
  "/work/main/tests/cli/view_outputs_test.cpp" "tests/CMakeFiles/test_cli.dir/cli/view_outputs_test.cpp.o" "gcc" "tests/CMakeFiles/test_cli.dir/cli/view_outputs_test.cpp.o.d"
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
