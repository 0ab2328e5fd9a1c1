file(REMOVE_RECURSE
  "CMakeFiles/mk_driver.dir/driver/day_driver.cpp.o"
  "CMakeFiles/mk_driver.dir/driver/day_driver.cpp.o.d"
  "CMakeFiles/mk_driver.dir/driver/load_driver.cpp.o"
  "CMakeFiles/mk_driver.dir/driver/load_driver.cpp.o.d"
  "CMakeFiles/mk_driver.dir/driver/page_cache_setup.cpp.o"
  "CMakeFiles/mk_driver.dir/driver/page_cache_setup.cpp.o.d"
  "CMakeFiles/mk_driver.dir/driver/race_selection.cpp.o"
  "CMakeFiles/mk_driver.dir/driver/race_selection.cpp.o.d"
  "libmk_driver.a"
  "libmk_driver.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_driver.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
