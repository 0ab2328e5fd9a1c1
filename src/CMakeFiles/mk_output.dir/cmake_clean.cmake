file(REMOVE_RECURSE
  "CMakeFiles/mk_output.dir/output/csv_export.cpp.o"
  "CMakeFiles/mk_output.dir/output/csv_export.cpp.o.d"
  "CMakeFiles/mk_output.dir/output/day_report.cpp.o"
  "CMakeFiles/mk_output.dir/output/day_report.cpp.o.d"
  "CMakeFiles/mk_output.dir/output/painter_print_device.cpp.o"
  "CMakeFiles/mk_output.dir/output/painter_print_device.cpp.o.d"
  "CMakeFiles/mk_output.dir/output/print_jobs.cpp.o"
  "CMakeFiles/mk_output.dir/output/print_jobs.cpp.o.d"
  "CMakeFiles/mk_output.dir/output/race_json.cpp.o"
  "CMakeFiles/mk_output.dir/output/race_json.cpp.o.d"
  "CMakeFiles/mk_output.dir/output/race_report.cpp.o"
  "CMakeFiles/mk_output.dir/output/race_report.cpp.o.d"
  "CMakeFiles/mk_output.dir/output/recording_print_device.cpp.o"
  "CMakeFiles/mk_output.dir/output/recording_print_device.cpp.o.d"
  "CMakeFiles/mk_output.dir/output/view_files.cpp.o"
  "CMakeFiles/mk_output.dir/output/view_files.cpp.o.d"
  "CMakeFiles/mk_output.dir/output/views_json.cpp.o"
  "CMakeFiles/mk_output.dir/output/views_json.cpp.o.d"
  "libmk_output.a"
  "libmk_output.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_output.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
