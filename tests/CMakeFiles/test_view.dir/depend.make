# Empty dependencies file for test_view.
# This may be replaced when dependencies are built.
