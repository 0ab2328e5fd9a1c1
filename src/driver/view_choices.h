#pragma once
// The window's choices that are kept in the settings file as soon as they are
// made: saved here, then the window's views drawn again for them.

#include "app/common.h"
#include "window/window_views.h"

namespace marunoki {

// The table check box was clicked; context.tableCheck is its new value (0 or 1).
// The value is saved at once as "writeHyo" in the settings file of `folder` (a
// failed save is reported through the context's messages), then the views are
// drawn again for it (`tableCheckChanged`).
void tableCheckClicked(ViewContext &context, const AppFolder &folder);

}  // namespace marunoki
