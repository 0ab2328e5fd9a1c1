file(REMOVE_RECURSE
  "CMakeFiles/test_cli.dir/cli/cli_day_test.cpp.o"
  "CMakeFiles/test_cli.dir/cli/cli_day_test.cpp.o.d"
  "CMakeFiles/test_cli.dir/cli/cli_load_test.cpp.o"
  "CMakeFiles/test_cli.dir/cli/cli_load_test.cpp.o.d"
  "CMakeFiles/test_cli.dir/cli/cli_process.cpp.o"
  "CMakeFiles/test_cli.dir/cli/cli_process.cpp.o.d"
  "CMakeFiles/test_cli.dir/cli/demo_test.cpp.o"
  "CMakeFiles/test_cli.dir/cli/demo_test.cpp.o.d"
  "CMakeFiles/test_cli.dir/cli/gui_environment.cpp.o"
  "CMakeFiles/test_cli.dir/cli/gui_environment.cpp.o.d"
  "CMakeFiles/test_cli.dir/cli/network_faults_test.cpp.o"
  "CMakeFiles/test_cli.dir/cli/network_faults_test.cpp.o.d"
  "CMakeFiles/test_cli.dir/cli/terminal_test.cpp.o"
  "CMakeFiles/test_cli.dir/cli/terminal_test.cpp.o.d"
  "CMakeFiles/test_cli.dir/cli/usage_test.cpp.o"
  "CMakeFiles/test_cli.dir/cli/usage_test.cpp.o.d"
  "CMakeFiles/test_cli.dir/cli/view_outputs_test.cpp.o"
  "CMakeFiles/test_cli.dir/cli/view_outputs_test.cpp.o.d"
  "test_cli"
  "test_cli.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_cli.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
