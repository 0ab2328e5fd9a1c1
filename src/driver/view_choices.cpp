#include "driver/view_choices.h"

#include "settings/settings.h"

namespace marunoki {

void tableCheckClicked(ViewContext &context, const AppFolder &folder)
{
    const Status written = writeTableCheck(folder, context.tableCheck);
    if (!written.ok())
        context.messages.message(written.message());
    tableCheckChanged(context);
}

}  // namespace marunoki
