#include "window/shown_runner.h"

namespace marunoki {

ShownRunner::ShownRunner(ViewContext &context)
    : context_(context)
    , curUma_(context.store.curUma)
    , viewMode_(context.store.viewMode)
    , tableShown_(context.views.bacyuGrid.visible)
{ }

ShownRunner::~ShownRunner()
{
    RaceStore &store = context_.store;
    store.curUma = curUma_;
    store.viewMode = viewMode_;
    // The graph or comparison graph under the table first, as it was drawn.
    redrawAfterRunnerChange(context_);
    if (tableShown_)
        switchToBacyu(context_);
    else
        context_.views.bacyuGrid.visible = false;
    store.viewMode = viewMode_;
}

}  // namespace marunoki
