file(REMOVE_RECURSE
  "CMakeFiles/test_db.dir/db/access_import_test.cpp.o"
  "CMakeFiles/test_db.dir/db/access_import_test.cpp.o.d"
  "CMakeFiles/test_db.dir/db/child_process_test.cpp.o"
  "CMakeFiles/test_db.dir/db/child_process_test.cpp.o.d"
  "CMakeFiles/test_db.dir/db/database_test.cpp.o"
  "CMakeFiles/test_db.dir/db/database_test.cpp.o.d"
  "CMakeFiles/test_db.dir/db/database_wal_test.cpp.o"
  "CMakeFiles/test_db.dir/db/database_wal_test.cpp.o.d"
  "CMakeFiles/test_db.dir/db/regular_file_test.cpp.o"
  "CMakeFiles/test_db.dir/db/regular_file_test.cpp.o.d"
  "CMakeFiles/test_db.dir/db/stored_date_test.cpp.o"
  "CMakeFiles/test_db.dir/db/stored_date_test.cpp.o.d"
  "test_db"
  "test_db.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_db.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
