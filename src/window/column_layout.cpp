#include "window/column_layout.h"

#include <algorithm>
#include <cmath>

namespace marunoki {

ColumnShares shareColumn(
    int height, int width, double graphAspect, int gridMinimum, bool gridShown, std::optional<int> chosenGrid)
{
    height = std::max(height, 0);
    if (!gridShown)
        return {height, 0};
    if (chosenGrid) {
        const int grid = std::clamp(*chosenGrid, std::min(std::max(gridMinimum, 0), height), height);
        return {height - grid, grid};
    }
    // Below the grid's minimum there is nothing to share: the grid takes it.
    const int room = std::max(height - std::max(gridMinimum, 0), 0);
    const int filling = graphAspect > 0 ? int(std::ceil(std::max(width, 0) / graphAspect)) : room;
    const int graph = std::min(filling, room);
    return {graph, height - graph};
}

RowShares shareRow(int width, int graphHeight, double graphAspect, int sideMinimum)
{
    width = std::max(width, 0);
    // The panels' own share: a quarter, or their least width when more.
    const int column = std::max(width - std::max(sideMinimum, width / 4), 0);
    const int graph = graphAspect > 0 ? int(std::ceil(std::max(graphHeight, 0) * graphAspect)) : column;
    const int shared = std::min(column, graph);
    return {shared, width - shared};
}

bool runGridShown(qint32 tableCheck)
{
    return tableCheck == 1;
}

}  // namespace marunoki
