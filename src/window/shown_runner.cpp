#include "window/shown_runner.h"

namespace marunoki {

ShownRunner::ShownRunner(ViewContext &context)
    : context_(context)
    , shownRunner_(context.views.shownRunner)
    , drawn_(context.views.drawn)
    , tableShown_(context.views.bacyuGrid.visible)
{ }

ShownRunner::~ShownRunner()
{
    context_.views.shownRunner = shownRunner_;
    context_.views.drawn = drawn_;  // the graph to draw again below
    // The graph or comparison graph under the table first, as it was drawn.
    redrawAfterRunnerChange(context_);
    if (tableShown_)
        switchToBacyu(context_);
    else
        context_.views.bacyuGrid.visible = false;
    context_.views.drawn = drawn_;
}

}  // namespace marunoki
