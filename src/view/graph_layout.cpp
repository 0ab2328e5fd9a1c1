#include "view/graph_layout.h"

#include "app/format.h"

#include <algorithm>

namespace marunoki {

GraphLayout GraphLayout::of(const DrawBox &box, double raceDate)
{
    GraphLayout layout;
    layout.boxWidth = box.width();
    layout.boxHeight = box.height();
    layout.plotWidth = layout.boxWidth - graphLeft - graphRight;
    layout.plotHeight = layout.boxHeight - graphTop - graphBottom;
    layout.raceDate = raceDate;
    return layout;
}

int penWidth(double pixels)
{
    return static_cast<int>(roundHalfEven(pixels));
}

double clampToScale(double value)
{
    return std::clamp(value, 0.0, 100.0);
}

}  // namespace marunoki
