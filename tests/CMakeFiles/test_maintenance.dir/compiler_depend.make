# Empty compiler generated dependencies file for test_maintenance.
# This may be replaced when dependencies are built.
