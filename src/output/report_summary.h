#pragma once
// The summary at the top of a race's report: the runners ranked three ways,
// by mean figure, by best figure and by mean figure of the last 90 days, each
// with the figure and the number of runs it counts. Three small tables, no
// script; names link to the runners' sections.

#include "app/race_store.h"
#include "journal/journal.h"

#include <QString>

#include <functional>
#include <vector>

namespace marunoki {

struct RankedRunner {
    qint32 number = 0;
    float figure = 0;
    int runs = 0;  // runs counted; 0 = no figure
};

// The runners of the card by one statistic: those with runs counted first,
// highest figure first, ties by horse number; then those without, by number.
std::vector<RankedRunner> rankRunners(const RaceStore &store, const StatTable &table);

// The mark of runner n as its symbol; empty when it has none.
QString markText(const MarksByNumber &marks, qint32 n);

// The three tables as one HTML block, each runner with its mark (印) when
// marks has one.
QString summaryHtml(
    const RaceStore &store, const std::function<QString(qint32)> &href, const MarksByNumber &marks = {});

}  // namespace marunoki
