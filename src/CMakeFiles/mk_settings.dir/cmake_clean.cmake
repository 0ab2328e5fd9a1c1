file(REMOVE_RECURSE
  "CMakeFiles/mk_settings.dir/settings/ini_file.cpp.o"
  "CMakeFiles/mk_settings.dir/settings/ini_file.cpp.o.d"
  "CMakeFiles/mk_settings.dir/settings/options_model.cpp.o"
  "CMakeFiles/mk_settings.dir/settings/options_model.cpp.o.d"
  "CMakeFiles/mk_settings.dir/settings/settings.cpp.o"
  "CMakeFiles/mk_settings.dir/settings/settings.cpp.o.d"
  "CMakeFiles/mk_settings.dir/settings/window_state.cpp.o"
  "CMakeFiles/mk_settings.dir/settings/window_state.cpp.o.d"
  "libmk_settings.a"
  "libmk_settings.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_settings.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
