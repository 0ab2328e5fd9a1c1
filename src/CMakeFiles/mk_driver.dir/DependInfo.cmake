
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/driver/day_driver.cpp" "src/CMakeFiles/mk_driver.dir/driver/day_driver.cpp.o" "gcc" "src/CMakeFiles/mk_driver.dir/driver/day_driver.cpp.o.d"
  "/work/main/src/driver/load_driver.cpp" "src/CMakeFiles/mk_driver.dir/driver/load_driver.cpp.o" "gcc" "src/CMakeFiles/mk_driver.dir/driver/load_driver.cpp.o.d"
  "/work/main/src/driver/page_cache_setup.cpp" "src/CMakeFiles/mk_driver.dir/driver/page_cache_setup.cpp.o" "gcc" "src/CMakeFiles/mk_driver.dir/driver/page_cache_setup.cpp.o.d"
  "/work/main/src/driver/race_selection.cpp" "src/CMakeFiles/mk_driver.dir/driver/race_selection.cpp.o" "gcc" "src/CMakeFiles/mk_driver.dir/driver/race_selection.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_web.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_analysis.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_local.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
