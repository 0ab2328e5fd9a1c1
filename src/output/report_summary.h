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
std::vector<RankedRunner> rankRunners(const RaceStore &store, Statistic Runner::*statistic);

// The mark of runner n as its symbol; empty when it has none.
QString markText(const MarksByNumber &marks, qint32 n);

// How runner n ran, as the report writes it: "1着 3人気", or what the page said
// of a runner that did not run ("取消"); empty before its result is in.
QString resultText(const ResultsByNumber &results, qint32 n);

// The three tables as one HTML block, each runner with its mark (印) when
// marks has one, and with its 着順 and 人気 once the race's results are in.
QString summaryHtml(const RaceStore &store, const std::function<QString(qint32)> &href,
    const MarksByNumber &marks = {}, const ResultsByNumber &results = {});

}  // namespace marunoki
