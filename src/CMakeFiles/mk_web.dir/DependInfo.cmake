
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/web/cell_rules.cpp" "src/CMakeFiles/mk_web.dir/web/cell_rules.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/cell_rules.cpp.o.d"
  "/work/main/src/web/fetch_cause.cpp" "src/CMakeFiles/mk_web.dir/web/fetch_cause.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/fetch_cause.cpp.o.d"
  "/work/main/src/web/horse_links.cpp" "src/CMakeFiles/mk_web.dir/web/horse_links.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/horse_links.cpp.o.d"
  "/work/main/src/web/html_body.cpp" "src/CMakeFiles/mk_web.dir/web/html_body.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/html_body.cpp.o.d"
  "/work/main/src/web/html_nesting.cpp" "src/CMakeFiles/mk_web.dir/web/html_nesting.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/html_nesting.cpp.o.d"
  "/work/main/src/web/meeting_calendar.cpp" "src/CMakeFiles/mk_web.dir/web/meeting_calendar.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/meeting_calendar.cpp.o.d"
  "/work/main/src/web/network_page_source.cpp" "src/CMakeFiles/mk_web.dir/web/network_page_source.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/network_page_source.cpp.o.d"
  "/work/main/src/web/page_archive.cpp" "src/CMakeFiles/mk_web.dir/web/page_archive.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/page_archive.cpp.o.d"
  "/work/main/src/web/page_cache.cpp" "src/CMakeFiles/mk_web.dir/web/page_cache.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/page_cache.cpp.o.d"
  "/work/main/src/web/page_loader.cpp" "src/CMakeFiles/mk_web.dir/web/page_loader.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/page_loader.cpp.o.d"
  "/work/main/src/web/page_table.cpp" "src/CMakeFiles/mk_web.dir/web/page_table.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/page_table.cpp.o.d"
  "/work/main/src/web/reader_page.cpp" "src/CMakeFiles/mk_web.dir/web/reader_page.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/reader_page.cpp.o.d"
  "/work/main/src/web/site1_card_reader.cpp" "src/CMakeFiles/mk_web.dir/web/site1_card_reader.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/site1_card_reader.cpp.o.d"
  "/work/main/src/web/site1_horse_reader.cpp" "src/CMakeFiles/mk_web.dir/web/site1_horse_reader.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/site1_horse_reader.cpp.o.d"
  "/work/main/src/web/site2_card_reader.cpp" "src/CMakeFiles/mk_web.dir/web/site2_card_reader.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/site2_card_reader.cpp.o.d"
  "/work/main/src/web/site2_horse_reader.cpp" "src/CMakeFiles/mk_web.dir/web/site2_horse_reader.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/site2_horse_reader.cpp.o.d"
  "/work/main/src/web/transfer_body.cpp" "src/CMakeFiles/mk_web.dir/web/transfer_body.cpp.o" "gcc" "src/CMakeFiles/mk_web.dir/web/transfer_body.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
