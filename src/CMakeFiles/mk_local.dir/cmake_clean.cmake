file(REMOVE_RECURSE
  "CMakeFiles/mk_local.dir/local/nar_merge.cpp.o"
  "CMakeFiles/mk_local.dir/local/nar_merge.cpp.o.d"
  "libmk_local.a"
  "libmk_local.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_local.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
