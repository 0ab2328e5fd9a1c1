file(REMOVE_RECURSE
  "CMakeFiles/mk_analysis.dir/analysis/runner_statistics.cpp.o"
  "CMakeFiles/mk_analysis.dir/analysis/runner_statistics.cpp.o.d"
  "CMakeFiles/mk_analysis.dir/analysis/speed_figures.cpp.o"
  "CMakeFiles/mk_analysis.dir/analysis/speed_figures.cpp.o.d"
  "CMakeFiles/mk_analysis.dir/analysis/track_db.cpp.o"
  "CMakeFiles/mk_analysis.dir/analysis/track_db.cpp.o.d"
  "libmk_analysis.a"
  "libmk_analysis.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_analysis.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
