
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/db/access_import_test.cpp" "tests/CMakeFiles/test_db.dir/db/access_import_test.cpp.o" "gcc" "tests/CMakeFiles/test_db.dir/db/access_import_test.cpp.o.d"
  "/work/main/tests/db/child_process_test.cpp" "tests/CMakeFiles/test_db.dir/db/child_process_test.cpp.o" "gcc" "tests/CMakeFiles/test_db.dir/db/child_process_test.cpp.o.d"
  "/work/main/tests/db/database_test.cpp" "tests/CMakeFiles/test_db.dir/db/database_test.cpp.o" "gcc" "tests/CMakeFiles/test_db.dir/db/database_test.cpp.o.d"
  "/work/main/tests/db/database_wal_test.cpp" "tests/CMakeFiles/test_db.dir/db/database_wal_test.cpp.o" "gcc" "tests/CMakeFiles/test_db.dir/db/database_wal_test.cpp.o.d"
  "/work/main/tests/db/regular_file_test.cpp" "tests/CMakeFiles/test_db.dir/db/regular_file_test.cpp.o" "gcc" "tests/CMakeFiles/test_db.dir/db/regular_file_test.cpp.o.d"
  "/work/main/tests/db/stored_date_test.cpp" "tests/CMakeFiles/test_db.dir/db/stored_date_test.cpp.o" "gcc" "tests/CMakeFiles/test_db.dir/db/stored_date_test.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/tests/CMakeFiles/mk_testsupport.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
