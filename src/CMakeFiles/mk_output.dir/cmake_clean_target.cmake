file(REMOVE_RECURSE
  "libmk_output.a"
)
