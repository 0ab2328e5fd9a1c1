# Empty custom commands generated dependencies file for mk_gui_autogen.
# This may be replaced when dependencies are built.
