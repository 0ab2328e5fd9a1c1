file(REMOVE_RECURSE
  "CMakeFiles/bench_race_fetch.dir/bench_race_fetch.cpp.o"
  "CMakeFiles/bench_race_fetch.dir/bench_race_fetch.cpp.o.d"
  "bench_race_fetch"
  "bench_race_fetch.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_race_fetch.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
