# Empty compiler generated dependencies file for mk_output.
# This may be replaced when dependencies are built.
