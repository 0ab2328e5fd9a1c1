# Empty compiler generated dependencies file for test_cli.
# This may be replaced when dependencies are built.
