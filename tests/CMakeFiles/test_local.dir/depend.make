# Empty dependencies file for test_local.
# This may be replaced when dependencies are built.
