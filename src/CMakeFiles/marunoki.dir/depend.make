# Empty dependencies file for marunoki.
# This may be replaced when dependencies are built.
