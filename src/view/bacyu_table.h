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

void drawBacyu(const RaceStore &store, CellGrid &grid, MessageSink &sink);

}  // namespace marunoki
