
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/cli/cli_options.cpp" "src/CMakeFiles/marunoki-cli.dir/cli/cli_options.cpp.o" "gcc" "src/CMakeFiles/marunoki-cli.dir/cli/cli_options.cpp.o.d"
  "/work/main/src/cli/console.cpp" "src/CMakeFiles/marunoki-cli.dir/cli/console.cpp.o" "gcc" "src/CMakeFiles/marunoki-cli.dir/cli/console.cpp.o.d"
  "/work/main/src/cli/day_command.cpp" "src/CMakeFiles/marunoki-cli.dir/cli/day_command.cpp.o" "gcc" "src/CMakeFiles/marunoki-cli.dir/cli/day_command.cpp.o.d"
  "/work/main/src/cli/demo_command.cpp" "src/CMakeFiles/marunoki-cli.dir/cli/demo_command.cpp.o" "gcc" "src/CMakeFiles/marunoki-cli.dir/cli/demo_command.cpp.o.d"
  "/work/main/src/cli/import_command.cpp" "src/CMakeFiles/marunoki-cli.dir/cli/import_command.cpp.o" "gcc" "src/CMakeFiles/marunoki-cli.dir/cli/import_command.cpp.o.d"
  "/work/main/src/cli/interrupt_stop.cpp" "src/CMakeFiles/marunoki-cli.dir/cli/interrupt_stop.cpp.o" "gcc" "src/CMakeFiles/marunoki-cli.dir/cli/interrupt_stop.cpp.o.d"
  "/work/main/src/cli/load_command.cpp" "src/CMakeFiles/marunoki-cli.dir/cli/load_command.cpp.o" "gcc" "src/CMakeFiles/marunoki-cli.dir/cli/load_command.cpp.o.d"
  "/work/main/src/cli/main.cpp" "src/CMakeFiles/marunoki-cli.dir/cli/main.cpp.o" "gcc" "src/CMakeFiles/marunoki-cli.dir/cli/main.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_driver.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_web.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_output.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_window.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_view.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_maintenance.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_settings.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_analysis.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_local.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
