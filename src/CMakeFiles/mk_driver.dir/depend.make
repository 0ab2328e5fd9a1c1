# Empty dependencies file for mk_driver.
# This may be replaced when dependencies are built.
