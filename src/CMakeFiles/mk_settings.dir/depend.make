# Empty dependencies file for mk_settings.
# This may be replaced when dependencies are built.
