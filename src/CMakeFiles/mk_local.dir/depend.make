# Empty dependencies file for mk_local.
# This may be replaced when dependencies are built.
