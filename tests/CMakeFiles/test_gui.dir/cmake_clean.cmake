file(REMOVE_RECURSE
  "CMakeFiles/test_gui.dir/gui/day_load_test.cpp.o"
  "CMakeFiles/test_gui.dir/gui/day_load_test.cpp.o.d"
  "CMakeFiles/test_gui.dir/gui/dialogs_test.cpp.o"
  "CMakeFiles/test_gui.dir/gui/dialogs_test.cpp.o.d"
  "CMakeFiles/test_gui.dir/gui/main_window_test.cpp.o"
  "CMakeFiles/test_gui.dir/gui/main_window_test.cpp.o.d"
  "CMakeFiles/test_gui.dir/gui/widget_environment.cpp.o"
  "CMakeFiles/test_gui.dir/gui/widget_environment.cpp.o.d"
  "test_gui"
  "test_gui.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_gui.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
