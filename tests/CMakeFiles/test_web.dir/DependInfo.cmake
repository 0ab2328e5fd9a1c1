
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/tests/web/fetch_cause_test.cpp" "tests/CMakeFiles/test_web.dir/web/fetch_cause_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/fetch_cause_test.cpp.o.d"
  "/work/main/tests/web/html_body_test.cpp" "tests/CMakeFiles/test_web.dir/web/html_body_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/html_body_test.cpp.o.d"
  "/work/main/tests/web/meeting_calendar_test.cpp" "tests/CMakeFiles/test_web.dir/web/meeting_calendar_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/meeting_calendar_test.cpp.o.d"
  "/work/main/tests/web/network_page_source_test.cpp" "tests/CMakeFiles/test_web.dir/web/network_page_source_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/network_page_source_test.cpp.o.d"
  "/work/main/tests/web/page_archive_test.cpp" "tests/CMakeFiles/test_web.dir/web/page_archive_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/page_archive_test.cpp.o.d"
  "/work/main/tests/web/page_cache_test.cpp" "tests/CMakeFiles/test_web.dir/web/page_cache_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/page_cache_test.cpp.o.d"
  "/work/main/tests/web/page_loader_test.cpp" "tests/CMakeFiles/test_web.dir/web/page_loader_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/page_loader_test.cpp.o.d"
  "/work/main/tests/web/page_table_test.cpp" "tests/CMakeFiles/test_web.dir/web/page_table_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/page_table_test.cpp.o.d"
  "/work/main/tests/web/reader_loading_test.cpp" "tests/CMakeFiles/test_web.dir/web/reader_loading_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/reader_loading_test.cpp.o.d"
  "/work/main/tests/web/site1_card_reader_test.cpp" "tests/CMakeFiles/test_web.dir/web/site1_card_reader_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/site1_card_reader_test.cpp.o.d"
  "/work/main/tests/web/site1_horse_reader_test.cpp" "tests/CMakeFiles/test_web.dir/web/site1_horse_reader_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/site1_horse_reader_test.cpp.o.d"
  "/work/main/tests/web/site2_card_reader_test.cpp" "tests/CMakeFiles/test_web.dir/web/site2_card_reader_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/site2_card_reader_test.cpp.o.d"
  "/work/main/tests/web/site2_horse_reader_test.cpp" "tests/CMakeFiles/test_web.dir/web/site2_horse_reader_test.cpp.o" "gcc" "tests/CMakeFiles/test_web.dir/web/site2_horse_reader_test.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_web.dir/DependInfo.cmake"
  "/work/main/tests/CMakeFiles/mk_testsupport.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
