# Empty dependencies file for bench_split_page.
# This may be replaced when dependencies are built.
