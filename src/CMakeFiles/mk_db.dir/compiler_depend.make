# Empty compiler generated dependencies file for mk_db.
# This may be replaced when dependencies are built.
