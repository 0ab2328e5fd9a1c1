
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/output/csv_export.cpp" "src/CMakeFiles/mk_output.dir/output/csv_export.cpp.o" "gcc" "src/CMakeFiles/mk_output.dir/output/csv_export.cpp.o.d"
  "/work/main/src/output/day_report.cpp" "src/CMakeFiles/mk_output.dir/output/day_report.cpp.o" "gcc" "src/CMakeFiles/mk_output.dir/output/day_report.cpp.o.d"
  "/work/main/src/output/painter_print_device.cpp" "src/CMakeFiles/mk_output.dir/output/painter_print_device.cpp.o" "gcc" "src/CMakeFiles/mk_output.dir/output/painter_print_device.cpp.o.d"
  "/work/main/src/output/print_jobs.cpp" "src/CMakeFiles/mk_output.dir/output/print_jobs.cpp.o" "gcc" "src/CMakeFiles/mk_output.dir/output/print_jobs.cpp.o.d"
  "/work/main/src/output/race_json.cpp" "src/CMakeFiles/mk_output.dir/output/race_json.cpp.o" "gcc" "src/CMakeFiles/mk_output.dir/output/race_json.cpp.o.d"
  "/work/main/src/output/race_report.cpp" "src/CMakeFiles/mk_output.dir/output/race_report.cpp.o" "gcc" "src/CMakeFiles/mk_output.dir/output/race_report.cpp.o.d"
  "/work/main/src/output/recording_print_device.cpp" "src/CMakeFiles/mk_output.dir/output/recording_print_device.cpp.o" "gcc" "src/CMakeFiles/mk_output.dir/output/recording_print_device.cpp.o.d"
  "/work/main/src/output/view_files.cpp" "src/CMakeFiles/mk_output.dir/output/view_files.cpp.o" "gcc" "src/CMakeFiles/mk_output.dir/output/view_files.cpp.o.d"
  "/work/main/src/output/views_json.cpp" "src/CMakeFiles/mk_output.dir/output/views_json.cpp.o" "gcc" "src/CMakeFiles/mk_output.dir/output/views_json.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/src/CMakeFiles/mk_window.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_view.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_settings.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_analysis.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_db.dir/DependInfo.cmake"
  "/work/main/src/CMakeFiles/mk_app.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
