file(REMOVE_RECURSE
  "CMakeFiles/test_maintenance.dir/maintenance/about_info_test.cpp.o"
  "CMakeFiles/test_maintenance.dir/maintenance/about_info_test.cpp.o.d"
  "CMakeFiles/test_maintenance.dir/maintenance/track_data_update_test.cpp.o"
  "CMakeFiles/test_maintenance.dir/maintenance/track_data_update_test.cpp.o.d"
  "CMakeFiles/test_maintenance.dir/maintenance/track_files.cpp.o"
  "CMakeFiles/test_maintenance.dir/maintenance/track_files.cpp.o.d"
  "CMakeFiles/test_maintenance.dir/maintenance/track_update_crash_test.cpp.o"
  "CMakeFiles/test_maintenance.dir/maintenance/track_update_crash_test.cpp.o.d"
  "test_maintenance"
  "test_maintenance.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_maintenance.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
