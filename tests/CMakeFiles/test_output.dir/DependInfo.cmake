
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/output/csv_crash_test.cpp" "tests/CMakeFiles/test_output.dir/output/csv_crash_test.cpp.o" "gcc" "tests/CMakeFiles/test_output.dir/output/csv_crash_test.cpp.o.d"
  "/work/main/tests/output/csv_export_test.cpp" "tests/CMakeFiles/test_output.dir/output/csv_export_test.cpp.o" "gcc" "tests/CMakeFiles/test_output.dir/output/csv_export_test.cpp.o.d"
  "/work/main/tests/output/day_report_test.cpp" "tests/CMakeFiles/test_output.dir/output/day_report_test.cpp.o" "gcc" "tests/CMakeFiles/test_output.dir/output/day_report_test.cpp.o.d"
  "/work/main/tests/output/gui_environment.cpp" "tests/CMakeFiles/test_output.dir/output/gui_environment.cpp.o" "gcc" "tests/CMakeFiles/test_output.dir/output/gui_environment.cpp.o.d"
  "/work/main/tests/output/print_jobs_test.cpp" "tests/CMakeFiles/test_output.dir/output/print_jobs_test.cpp.o" "gcc" "tests/CMakeFiles/test_output.dir/output/print_jobs_test.cpp.o.d"
  "/work/main/tests/output/print_pdf_test.cpp" "tests/CMakeFiles/test_output.dir/output/print_pdf_test.cpp.o" "gcc" "tests/CMakeFiles/test_output.dir/output/print_pdf_test.cpp.o.d"
  "/work/main/tests/output/race_json_test.cpp" "tests/CMakeFiles/test_output.dir/output/race_json_test.cpp.o" "gcc" "tests/CMakeFiles/test_output.dir/output/race_json_test.cpp.o.d"
  "/work/main/tests/output/view_files_test.cpp" "tests/CMakeFiles/test_output.dir/output/view_files_test.cpp.o" "gcc" "tests/CMakeFiles/test_output.dir/output/view_files_test.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_output.dir/DependInfo.cmake"
  "/work/main/tests/CMakeFiles/mk_testsupport.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_window.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_view.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_settings.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_analysis.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
