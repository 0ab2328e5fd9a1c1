# Empty compiler generated dependencies file for test_output.
# This may be replaced when dependencies are built.
