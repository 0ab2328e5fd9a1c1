# Empty dependencies file for mk_web.
# This may be replaced when dependencies are built.
