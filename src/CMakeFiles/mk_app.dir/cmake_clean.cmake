file(REMOVE_RECURSE
  "CMakeFiles/mk_app.dir/app/atomic_file.cpp.o"
  "CMakeFiles/mk_app.dir/app/atomic_file.cpp.o.d"
  "CMakeFiles/mk_app.dir/app/common.cpp.o"
  "CMakeFiles/mk_app.dir/app/common.cpp.o.d"
  "CMakeFiles/mk_app.dir/app/format.cpp.o"
  "CMakeFiles/mk_app.dir/app/format.cpp.o.d"
  "CMakeFiles/mk_app.dir/app/race_store.cpp.o"
  "CMakeFiles/mk_app.dir/app/race_store.cpp.o.d"
  "CMakeFiles/mk_app.dir/app/regular_file.cpp.o"
  "CMakeFiles/mk_app.dir/app/regular_file.cpp.o.d"
  "CMakeFiles/mk_app.dir/app/runner_navigation.cpp.o"
  "CMakeFiles/mk_app.dir/app/runner_navigation.cpp.o.d"
  "libmk_app.a"
  "libmk_app.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_app.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
