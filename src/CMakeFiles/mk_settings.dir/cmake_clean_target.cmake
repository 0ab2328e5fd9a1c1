file(REMOVE_RECURSE
  "libmk_settings.a"
)
