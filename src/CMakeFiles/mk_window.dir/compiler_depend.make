# Empty compiler generated dependencies file for mk_window.
# This may be replaced when dependencies are built.
