# Empty compiler generated dependencies file for test_db.
# This may be replaced when dependencies are built.
