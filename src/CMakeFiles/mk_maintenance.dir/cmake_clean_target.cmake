file(REMOVE_RECURSE
  "libmk_maintenance.a"
)
