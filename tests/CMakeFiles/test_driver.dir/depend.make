# Empty dependencies file for test_driver.
# This may be replaced when dependencies are built.
