# Empty compiler generated dependencies file for mk_view.
# This may be replaced when dependencies are built.
