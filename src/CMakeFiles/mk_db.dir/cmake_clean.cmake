file(REMOVE_RECURSE
  "CMakeFiles/mk_db.dir/db/access_cache.cpp.o"
  "CMakeFiles/mk_db.dir/db/access_cache.cpp.o.d"
  "CMakeFiles/mk_db.dir/db/child_process.cpp.o"
  "CMakeFiles/mk_db.dir/db/child_process.cpp.o.d"
  "CMakeFiles/mk_db.dir/db/database.cpp.o"
  "CMakeFiles/mk_db.dir/db/database.cpp.o.d"
  "CMakeFiles/mk_db.dir/db/file_format.cpp.o"
  "CMakeFiles/mk_db.dir/db/file_format.cpp.o.d"
  "CMakeFiles/mk_db.dir/db/mdb_copy.cpp.o"
  "CMakeFiles/mk_db.dir/db/mdb_copy.cpp.o.d"
  "CMakeFiles/mk_db.dir/db/mdb_import.cpp.o"
  "CMakeFiles/mk_db.dir/db/mdb_import.cpp.o.d"
  "CMakeFiles/mk_db.dir/db/stored_date.cpp.o"
  "CMakeFiles/mk_db.dir/db/stored_date.cpp.o.d"
  "libmk_db.a"
  "libmk_db.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_db.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
