file(REMOVE_RECURSE
  "CMakeFiles/bench_track_lookup.dir/bench_track_lookup.cpp.o"
  "CMakeFiles/bench_track_lookup.dir/bench_track_lookup.cpp.o.d"
  "bench_track_lookup"
  "bench_track_lookup.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_track_lookup.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
