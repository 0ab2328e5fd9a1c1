# Empty dependencies file for test_window.
# This may be replaced when dependencies are built.
