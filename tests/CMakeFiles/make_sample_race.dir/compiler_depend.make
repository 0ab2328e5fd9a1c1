# Empty compiler generated dependencies file for make_sample_race.
# This may be replaced when dependencies are built.
