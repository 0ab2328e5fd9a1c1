file(REMOVE_RECURSE
  "libmk_window.a"
)
