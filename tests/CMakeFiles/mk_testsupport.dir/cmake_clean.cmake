file(REMOVE_RECURSE
  "CMakeFiles/mk_testsupport.dir/support/crash_harness.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/crash_harness.cpp.o.d"
  "CMakeFiles/mk_testsupport.dir/support/fifo_watchdog.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/fifo_watchdog.cpp.o.d"
  "CMakeFiles/mk_testsupport.dir/support/fixture_databases.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/fixture_databases.cpp.o.d"
  "CMakeFiles/mk_testsupport.dir/support/gui_environment.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/gui_environment.cpp.o.d"
  "CMakeFiles/mk_testsupport.dir/support/http_test_server.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/http_test_server.cpp.o.d"
  "CMakeFiles/mk_testsupport.dir/support/print_race.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/print_race.cpp.o.d"
  "CMakeFiles/mk_testsupport.dir/support/sample_race.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/sample_race.cpp.o.d"
  "CMakeFiles/mk_testsupport.dir/support/site_pages.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/site_pages.cpp.o.d"
  "CMakeFiles/mk_testsupport.dir/support/sqlite_file.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/sqlite_file.cpp.o.d"
  "CMakeFiles/mk_testsupport.dir/support/test_folder.cpp.o"
  "CMakeFiles/mk_testsupport.dir/support/test_folder.cpp.o.d"
  "libmk_testsupport.a"
  "libmk_testsupport.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_testsupport.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
