file(REMOVE_RECURSE
  "CMakeFiles/make_sample_race.dir/__/samples/generator/make_sample_race.cpp.o"
  "CMakeFiles/make_sample_race.dir/__/samples/generator/make_sample_race.cpp.o.d"
  "make_sample_race"
  "make_sample_race.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/make_sample_race.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
