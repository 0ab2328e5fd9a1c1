
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/analysis/runner_statistics.cpp" "src/CMakeFiles/mk_analysis.dir/analysis/runner_statistics.cpp.o" "gcc" "src/CMakeFiles/mk_analysis.dir/analysis/runner_statistics.cpp.o.d"
  "/work/main/src/analysis/speed_figures.cpp" "src/CMakeFiles/mk_analysis.dir/analysis/speed_figures.cpp.o" "gcc" "src/CMakeFiles/mk_analysis.dir/analysis/speed_figures.cpp.o.d"
  "/work/main/src/analysis/track_db.cpp" "src/CMakeFiles/mk_analysis.dir/analysis/track_db.cpp.o" "gcc" "src/CMakeFiles/mk_analysis.dir/analysis/track_db.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
