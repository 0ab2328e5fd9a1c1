# Empty dependencies file for test_analysis.
# This may be replaced when dependencies are built.
