# Empty compiler generated dependencies file for mk_maintenance.
# This may be replaced when dependencies are built.
