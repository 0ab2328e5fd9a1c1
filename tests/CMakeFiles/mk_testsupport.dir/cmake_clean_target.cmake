file(REMOVE_RECURSE
  "libmk_testsupport.a"
)
