file(REMOVE_RECURSE
  "CMakeFiles/marunoki-cli.dir/cli/cli_options.cpp.o"
  "CMakeFiles/marunoki-cli.dir/cli/cli_options.cpp.o.d"
  "CMakeFiles/marunoki-cli.dir/cli/console.cpp.o"
  "CMakeFiles/marunoki-cli.dir/cli/console.cpp.o.d"
  "CMakeFiles/marunoki-cli.dir/cli/day_command.cpp.o"
  "CMakeFiles/marunoki-cli.dir/cli/day_command.cpp.o.d"
  "CMakeFiles/marunoki-cli.dir/cli/demo_command.cpp.o"
  "CMakeFiles/marunoki-cli.dir/cli/demo_command.cpp.o.d"
  "CMakeFiles/marunoki-cli.dir/cli/import_command.cpp.o"
  "CMakeFiles/marunoki-cli.dir/cli/import_command.cpp.o.d"
  "CMakeFiles/marunoki-cli.dir/cli/interrupt_stop.cpp.o"
  "CMakeFiles/marunoki-cli.dir/cli/interrupt_stop.cpp.o.d"
  "CMakeFiles/marunoki-cli.dir/cli/load_command.cpp.o"
  "CMakeFiles/marunoki-cli.dir/cli/load_command.cpp.o.d"
  "CMakeFiles/marunoki-cli.dir/cli/main.cpp.o"
  "CMakeFiles/marunoki-cli.dir/cli/main.cpp.o.d"
  "marunoki-cli"
  "marunoki-cli.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/marunoki-cli.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
