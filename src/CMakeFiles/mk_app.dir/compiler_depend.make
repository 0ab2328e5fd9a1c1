# Empty compiler generated dependencies file for mk_app.
# This may be replaced when dependencies are built.
