#include "window/column_layout.h"

#include <algorithm>
#include <cmath>

namespace marunoki {

ColumnShares shareColumn(int height, int width, double graphAspect, int gridMinimum, bool gridShown)
{
    height = std::max(height, 0);
    if (!gridShown)
        return {height, 0};
    // Below the grid's minimum there is nothing to share: the grid takes it.
    const int room = std::max(height - std::max(gridMinimum, 0), 0);
    const int filling = graphAspect > 0 ? int(std::ceil(std::max(width, 0) / graphAspect)) : room;
    const int graph = std::min(filling, room);
    return {graph, height - graph};
}

bool runGridShown(qint32 check1)
{
    return check1 == 1;
}

}  // namespace marunoki
