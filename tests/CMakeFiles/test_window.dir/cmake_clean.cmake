file(REMOVE_RECURSE
  "CMakeFiles/test_window.dir/window/gui_environment.cpp.o"
  "CMakeFiles/test_window.dir/window/gui_environment.cpp.o.d"
  "CMakeFiles/test_window.dir/window/window_views_test.cpp.o"
  "CMakeFiles/test_window.dir/window/window_views_test.cpp.o.d"
  "test_window"
  "test_window.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_window.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
