file(REMOVE_RECURSE
  "CMakeFiles/bench_split_page.dir/bench_split_page.cpp.o"
  "CMakeFiles/bench_split_page.dir/bench_split_page.cpp.o.d"
  "bench_split_page"
  "bench_split_page.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_split_page.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
