file(REMOVE_RECURSE
  "CMakeFiles/mk_maintenance.dir/maintenance/about_info.cpp.o"
  "CMakeFiles/mk_maintenance.dir/maintenance/about_info.cpp.o.d"
  "CMakeFiles/mk_maintenance.dir/maintenance/track_data_update.cpp.o"
  "CMakeFiles/mk_maintenance.dir/maintenance/track_data_update.cpp.o.d"
  "libmk_maintenance.a"
  "libmk_maintenance.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_maintenance.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
