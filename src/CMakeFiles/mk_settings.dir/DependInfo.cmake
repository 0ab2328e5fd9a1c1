
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/settings/ini_file.cpp" "src/CMakeFiles/mk_settings.dir/settings/ini_file.cpp.o" "gcc" "src/CMakeFiles/mk_settings.dir/settings/ini_file.cpp.o.d"
  "/work/main/src/settings/options_model.cpp" "src/CMakeFiles/mk_settings.dir/settings/options_model.cpp.o" "gcc" "src/CMakeFiles/mk_settings.dir/settings/options_model.cpp.o.d"
  "/work/main/src/settings/settings.cpp" "src/CMakeFiles/mk_settings.dir/settings/settings.cpp.o" "gcc" "src/CMakeFiles/mk_settings.dir/settings/settings.cpp.o.d"
  "/work/main/src/settings/window_state.cpp" "src/CMakeFiles/mk_settings.dir/settings/window_state.cpp.o" "gcc" "src/CMakeFiles/mk_settings.dir/settings/window_state.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
