# Empty dependencies file for test_settings.
# This may be replaced when dependencies are built.
