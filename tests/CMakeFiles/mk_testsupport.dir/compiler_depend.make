# Empty compiler generated dependencies file for mk_testsupport.
# This may be replaced when dependencies are built.
