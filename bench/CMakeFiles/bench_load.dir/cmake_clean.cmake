file(REMOVE_RECURSE
  "CMakeFiles/bench_load.dir/bench_load.cpp.o"
  "CMakeFiles/bench_load.dir/bench_load.cpp.o.d"
  "bench_load"
  "bench_load.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_load.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
