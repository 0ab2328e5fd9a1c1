file(REMOVE_RECURSE
  "CMakeFiles/test_driver.dir/driver/day_driver_test.cpp.o"
  "CMakeFiles/test_driver.dir/driver/day_driver_test.cpp.o.d"
  "CMakeFiles/test_driver.dir/driver/load_driver_test.cpp.o"
  "CMakeFiles/test_driver.dir/driver/load_driver_test.cpp.o.d"
  "CMakeFiles/test_driver.dir/driver/race_selection_test.cpp.o"
  "CMakeFiles/test_driver.dir/driver/race_selection_test.cpp.o.d"
  "test_driver"
  "test_driver.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_driver.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
