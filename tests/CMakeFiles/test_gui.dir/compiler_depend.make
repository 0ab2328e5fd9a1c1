# Empty compiler generated dependencies file for test_gui.
# This may be replaced when dependencies are built.
