#pragma once
// The past-performance table (馬柱): every runner of the loaded race as a block
// of five rows, its identity, today's jockey and weight, its statistics and its
// five latest past runs. Rebuilt completely at every call; the store is only
// read. A failure stops the fill with "bacyuエラー(err-BA01)"; the cells
// written so far stay.

#include "app/message_sink.h"
#include "app/race_store.h"
#include "view/cell_grid.h"

namespace marunoki {

// Where the table puts things, for the outputs that link or reword its cells:
// runner n's block starts at row bacyuBlockRow(n), its name one row below in
// column kBacyuNameColumn; past run k (1..kBacyuShownRuns) has its text in
// column bacyuRunTextColumn(k), its time leading the block's last row.
constexpr int kBacyuBlockRows = 5;
constexpr int kBacyuShownRuns = 5;
constexpr int kBacyuNameColumn = 2;
constexpr int bacyuBlockRow(int n)
{
    return kBacyuBlockRows * (n - 1);
}
constexpr int bacyuRunTextColumn(int k)
{
    return 7 + 2 * (k - 1);
}

void drawBacyu(const RaceStore &store, CellGrid &grid, MessageSink &sink);

}  // namespace marunoki
