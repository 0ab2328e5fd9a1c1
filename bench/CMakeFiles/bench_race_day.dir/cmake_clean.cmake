file(REMOVE_RECURSE
  "CMakeFiles/bench_race_day.dir/bench_race_day.cpp.o"
  "CMakeFiles/bench_race_day.dir/bench_race_day.cpp.o.d"
  "bench_race_day"
  "bench_race_day.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_race_day.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
