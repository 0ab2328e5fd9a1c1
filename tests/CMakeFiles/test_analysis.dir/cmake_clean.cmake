file(REMOVE_RECURSE
  "CMakeFiles/test_analysis.dir/analysis/runner_statistics_test.cpp.o"
  "CMakeFiles/test_analysis.dir/analysis/runner_statistics_test.cpp.o.d"
  "CMakeFiles/test_analysis.dir/analysis/sample_track_data_test.cpp.o"
  "CMakeFiles/test_analysis.dir/analysis/sample_track_data_test.cpp.o.d"
  "CMakeFiles/test_analysis.dir/analysis/speed_figures_test.cpp.o"
  "CMakeFiles/test_analysis.dir/analysis/speed_figures_test.cpp.o.d"
  "CMakeFiles/test_analysis.dir/analysis/track_db_test.cpp.o"
  "CMakeFiles/test_analysis.dir/analysis/track_db_test.cpp.o.d"
  "test_analysis"
  "test_analysis.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_analysis.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
