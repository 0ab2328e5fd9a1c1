# Empty compiler generated dependencies file for marunoki-cli.
# This may be replaced when dependencies are built.
