file(REMOVE_RECURSE
  "CMakeFiles/bench_draw_graph.dir/bench_draw_graph.cpp.o"
  "CMakeFiles/bench_draw_graph.dir/bench_draw_graph.cpp.o.d"
  "bench_draw_graph"
  "bench_draw_graph.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_draw_graph.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
