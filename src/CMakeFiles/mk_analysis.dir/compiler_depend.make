# Empty compiler generated dependencies file for mk_analysis.
# This may be replaced when dependencies are built.
