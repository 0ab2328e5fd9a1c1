file(REMOVE_RECURSE
  "CMakeFiles/mk_window.dir/window/shown_runner.cpp.o"
  "CMakeFiles/mk_window.dir/window/shown_runner.cpp.o.d"
  "CMakeFiles/mk_window.dir/window/window_views.cpp.o"
  "CMakeFiles/mk_window.dir/window/window_views.cpp.o.d"
  "libmk_window.a"
  "libmk_window.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_window.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
