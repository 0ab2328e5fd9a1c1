file(REMOVE_RECURSE
  "CMakeFiles/marunoki.dir/gui/main.cpp.o"
  "CMakeFiles/marunoki.dir/gui/main.cpp.o.d"
  "marunoki"
  "marunoki.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/marunoki.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
