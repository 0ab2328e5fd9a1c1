file(REMOVE_RECURSE
  "CMakeFiles/mk_gui_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/mk_gui_autogen.dir/ParseCache.txt"
  "mk_gui_autogen"
  "CMakeFiles/mk_gui.dir/gui/about_dialog.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/about_dialog.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/cell_grid_view.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/cell_grid_view.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/day_load_dialog.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/day_load_dialog.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/graph_pane.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/graph_pane.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/gui_sinks.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/gui_sinks.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/loading_window.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/loading_window.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/main_window.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/main_window.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/main_window_actions.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/main_window_actions.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/main_window_dialogs.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/main_window_dialogs.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/options_dialog.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/options_dialog.cpp.o.d"
  "CMakeFiles/mk_gui.dir/gui/track_update_dialog.cpp.o"
  "CMakeFiles/mk_gui.dir/gui/track_update_dialog.cpp.o.d"
  "CMakeFiles/mk_gui.dir/mk_gui_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/mk_gui.dir/mk_gui_autogen/mocs_compilation.cpp.o.d"
  "libmk_gui.a"
  "libmk_gui.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/mk_gui.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
