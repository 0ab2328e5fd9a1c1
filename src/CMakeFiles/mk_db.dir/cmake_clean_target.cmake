file(REMOVE_RECURSE
  "libmk_db.a"
)
