# Empty dependencies file for test_web.
# This may be replaced when dependencies are built.
