file(REMOVE_RECURSE
  "CMakeFiles/test_app.dir/app/atomic_file_test.cpp.o"
  "CMakeFiles/test_app.dir/app/atomic_file_test.cpp.o.d"
  "CMakeFiles/test_app.dir/app/common_test.cpp.o"
  "CMakeFiles/test_app.dir/app/common_test.cpp.o.d"
  "CMakeFiles/test_app.dir/app/format_test.cpp.o"
  "CMakeFiles/test_app.dir/app/format_test.cpp.o.d"
  "CMakeFiles/test_app.dir/app/race_store_test.cpp.o"
  "CMakeFiles/test_app.dir/app/race_store_test.cpp.o.d"
  "CMakeFiles/test_app.dir/app/runner_navigation_test.cpp.o"
  "CMakeFiles/test_app.dir/app/runner_navigation_test.cpp.o.d"
  "test_app"
  "test_app.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_app.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
