file(REMOVE_RECURSE
  "libmk_web.a"
)
