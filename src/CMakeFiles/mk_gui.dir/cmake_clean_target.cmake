file(REMOVE_RECURSE
  "libmk_gui.a"
)
