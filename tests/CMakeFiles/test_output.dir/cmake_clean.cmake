file(REMOVE_RECURSE
  "CMakeFiles/test_output.dir/output/csv_crash_test.cpp.o"
  "CMakeFiles/test_output.dir/output/csv_crash_test.cpp.o.d"
  "CMakeFiles/test_output.dir/output/csv_export_test.cpp.o"
  "CMakeFiles/test_output.dir/output/csv_export_test.cpp.o.d"
  "CMakeFiles/test_output.dir/output/day_report_test.cpp.o"
  "CMakeFiles/test_output.dir/output/day_report_test.cpp.o.d"
  "CMakeFiles/test_output.dir/output/gui_environment.cpp.o"
  "CMakeFiles/test_output.dir/output/gui_environment.cpp.o.d"
  "CMakeFiles/test_output.dir/output/print_jobs_test.cpp.o"
  "CMakeFiles/test_output.dir/output/print_jobs_test.cpp.o.d"
  "CMakeFiles/test_output.dir/output/print_pdf_test.cpp.o"
  "CMakeFiles/test_output.dir/output/print_pdf_test.cpp.o.d"
  "CMakeFiles/test_output.dir/output/race_json_test.cpp.o"
  "CMakeFiles/test_output.dir/output/race_json_test.cpp.o.d"
  "CMakeFiles/test_output.dir/output/view_files_test.cpp.o"
  "CMakeFiles/test_output.dir/output/view_files_test.cpp.o.d"
  "test_output"
  "test_output.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_output.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
