
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/app/atomic_file.cpp" "src/CMakeFiles/mk_app.dir/app/atomic_file.cpp.o" "gcc" "src/CMakeFiles/mk_app.dir/app/atomic_file.cpp.o.d"
  "/work/main/src/app/common.cpp" "src/CMakeFiles/mk_app.dir/app/common.cpp.o" "gcc" "src/CMakeFiles/mk_app.dir/app/common.cpp.o.d"
  "/work/main/src/app/format.cpp" "src/CMakeFiles/mk_app.dir/app/format.cpp.o" "gcc" "src/CMakeFiles/mk_app.dir/app/format.cpp.o.d"
  "/work/main/src/app/race_store.cpp" "src/CMakeFiles/mk_app.dir/app/race_store.cpp.o" "gcc" "src/CMakeFiles/mk_app.dir/app/race_store.cpp.o.d"
  "/work/main/src/app/regular_file.cpp" "src/CMakeFiles/mk_app.dir/app/regular_file.cpp.o" "gcc" "src/CMakeFiles/mk_app.dir/app/regular_file.cpp.o.d"
  "/work/main/src/app/runner_navigation.cpp" "src/CMakeFiles/mk_app.dir/app/runner_navigation.cpp.o" "gcc" "src/CMakeFiles/mk_app.dir/app/runner_navigation.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
