file(REMOVE_RECURSE
  "libmk_view.a"
)
