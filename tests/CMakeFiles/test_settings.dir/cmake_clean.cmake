file(REMOVE_RECURSE
  "CMakeFiles/test_settings.dir/settings/ini_file_test.cpp.o"
  "CMakeFiles/test_settings.dir/settings/ini_file_test.cpp.o.d"
  "CMakeFiles/test_settings.dir/settings/options_model_test.cpp.o"
  "CMakeFiles/test_settings.dir/settings/options_model_test.cpp.o.d"
  "CMakeFiles/test_settings.dir/settings/settings_crash_test.cpp.o"
  "CMakeFiles/test_settings.dir/settings/settings_crash_test.cpp.o.d"
  "CMakeFiles/test_settings.dir/settings/settings_test.cpp.o"
  "CMakeFiles/test_settings.dir/settings/settings_test.cpp.o.d"
  "CMakeFiles/test_settings.dir/settings/window_state_test.cpp.o"
  "CMakeFiles/test_settings.dir/settings/window_state_test.cpp.o.d"
  "test_settings"
  "test_settings.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_settings.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
