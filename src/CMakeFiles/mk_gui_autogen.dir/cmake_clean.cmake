file(REMOVE_RECURSE
  "CMakeFiles/mk_gui_autogen"
  "mk_gui_autogen/mocs_compilation.cpp"
)

# Per-language clean rules from dependency scanning.
foreach(lang )
  include(CMakeFiles/mk_gui_autogen.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
