file(REMOVE_RECURSE
  "CMakeFiles/bench_draw_bacyu.dir/bench_draw_bacyu.cpp.o"
  "CMakeFiles/bench_draw_bacyu.dir/bench_draw_bacyu.cpp.o.d"
  "bench_draw_bacyu"
  "bench_draw_bacyu.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_draw_bacyu.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
