file(REMOVE_RECURSE
  "libmk_analysis.a"
)
