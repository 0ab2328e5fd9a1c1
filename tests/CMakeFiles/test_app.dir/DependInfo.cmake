
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/app/atomic_file_test.cpp" "tests/CMakeFiles/test_app.dir/app/atomic_file_test.cpp.o" "gcc" "tests/CMakeFiles/test_app.dir/app/atomic_file_test.cpp.o.d"
  "/work/main/tests/app/common_test.cpp" "tests/CMakeFiles/test_app.dir/app/common_test.cpp.o" "gcc" "tests/CMakeFiles/test_app.dir/app/common_test.cpp.o.d"
  "/work/main/tests/app/format_test.cpp" "tests/CMakeFiles/test_app.dir/app/format_test.cpp.o" "gcc" "tests/CMakeFiles/test_app.dir/app/format_test.cpp.o.d"
  "/work/main/tests/app/race_store_test.cpp" "tests/CMakeFiles/test_app.dir/app/race_store_test.cpp.o" "gcc" "tests/CMakeFiles/test_app.dir/app/race_store_test.cpp.o.d"
  "/work/main/tests/app/runner_navigation_test.cpp" "tests/CMakeFiles/test_app.dir/app/runner_navigation_test.cpp.o" "gcc" "tests/CMakeFiles/test_app.dir/app/runner_navigation_test.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  "/work/main/tests/CMakeFiles/mk_testsupport.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
