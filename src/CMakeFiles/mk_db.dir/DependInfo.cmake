
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/db/access_cache.cpp" "src/CMakeFiles/mk_db.dir/db/access_cache.cpp.o" "gcc" "src/CMakeFiles/mk_db.dir/db/access_cache.cpp.o.d"
  "/work/main/src/db/child_process.cpp" "src/CMakeFiles/mk_db.dir/db/child_process.cpp.o" "gcc" "src/CMakeFiles/mk_db.dir/db/child_process.cpp.o.d"
  "/work/main/src/db/database.cpp" "src/CMakeFiles/mk_db.dir/db/database.cpp.o" "gcc" "src/CMakeFiles/mk_db.dir/db/database.cpp.o.d"
  "/work/main/src/db/file_format.cpp" "src/CMakeFiles/mk_db.dir/db/file_format.cpp.o" "gcc" "src/CMakeFiles/mk_db.dir/db/file_format.cpp.o.d"
  "/work/main/src/db/mdb_copy.cpp" "src/CMakeFiles/mk_db.dir/db/mdb_copy.cpp.o" "gcc" "src/CMakeFiles/mk_db.dir/db/mdb_copy.cpp.o.d"
  "/work/main/src/db/mdb_import.cpp" "src/CMakeFiles/mk_db.dir/db/mdb_import.cpp.o" "gcc" "src/CMakeFiles/mk_db.dir/db/mdb_import.cpp.o.d"
  "/work/main/src/db/stored_date.cpp" "src/CMakeFiles/mk_db.dir/db/stored_date.cpp.o" "gcc" "src/CMakeFiles/mk_db.dir/db/stored_date.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
