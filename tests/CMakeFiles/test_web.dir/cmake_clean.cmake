file(REMOVE_RECURSE
  "CMakeFiles/test_web.dir/web/fetch_cause_test.cpp.o"
  "CMakeFiles/test_web.dir/web/fetch_cause_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/html_body_test.cpp.o"
  "CMakeFiles/test_web.dir/web/html_body_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/meeting_calendar_test.cpp.o"
  "CMakeFiles/test_web.dir/web/meeting_calendar_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/network_page_source_test.cpp.o"
  "CMakeFiles/test_web.dir/web/network_page_source_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/page_archive_test.cpp.o"
  "CMakeFiles/test_web.dir/web/page_archive_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/page_cache_test.cpp.o"
  "CMakeFiles/test_web.dir/web/page_cache_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/page_loader_test.cpp.o"
  "CMakeFiles/test_web.dir/web/page_loader_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/page_table_test.cpp.o"
  "CMakeFiles/test_web.dir/web/page_table_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/reader_loading_test.cpp.o"
  "CMakeFiles/test_web.dir/web/reader_loading_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/site1_card_reader_test.cpp.o"
  "CMakeFiles/test_web.dir/web/site1_card_reader_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/site1_horse_reader_test.cpp.o"
  "CMakeFiles/test_web.dir/web/site1_horse_reader_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/site2_card_reader_test.cpp.o"
  "CMakeFiles/test_web.dir/web/site2_card_reader_test.cpp.o.d"
  "CMakeFiles/test_web.dir/web/site2_horse_reader_test.cpp.o"
  "CMakeFiles/test_web.dir/web/site2_horse_reader_test.cpp.o.d"
  "test_web"
  "test_web.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/test_web.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
