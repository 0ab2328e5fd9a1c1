file(REMOVE_RECURSE
  "libmk_local.a"
)
