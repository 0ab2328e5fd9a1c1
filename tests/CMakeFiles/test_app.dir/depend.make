# Empty dependencies file for test_app.
# This may be replaced when dependencies are built.
