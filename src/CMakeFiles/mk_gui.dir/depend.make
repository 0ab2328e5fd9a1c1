# Empty dependencies file for mk_gui.
# This may be replaced when dependencies are built.
