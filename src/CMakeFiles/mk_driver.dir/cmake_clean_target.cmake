file(REMOVE_RECURSE
  "libmk_driver.a"
)
