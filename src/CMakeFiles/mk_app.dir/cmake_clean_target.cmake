file(REMOVE_RECURSE
  "libmk_app.a"
)
