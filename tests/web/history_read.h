#pragma once
// A horse page cut into a table and read by one history parse, for the tests of
// both sites' history readers.

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "support/site_pages.h"
#include "web/page_table.h"

#include <memory>

namespace marunoki::test {

using HistoryParse = void (*)(const PageTable &, RaceStore &, qint32, MessageSink &);

// The race of the history tests: 2007-06-24.
inline double historyRaceDay()
{
    return *serialFromYmd(2007, 6, 24);
}

// A past run on the given serial day, with the builders' other defaults.
inline PastRun runOn(double serial)
{
    const Ymd d = ymdFromSerial(serial);
    PastRun run;
    run.year = d.year;
    run.month = d.month;
    run.day = d.day;
    return run;
}

// Runs `parse` on the page for `runner` of a 16-runner race on historyRaceDay().
struct HistoryRead {
    HistoryRead(const QString &html, HistoryParse parse, int which)
        : runner(which)
    {
        store.raceDate = historyRaceDay();
        store.fieldSize = 16;
        splitPage(html, *table);
        parse(*table, store, which, messages);
    }
    // How many runs were filled, counted from run 1 up to the first without a date.
    int runs() const
    {
        int count = 0;
        while (count < kMaxRuns && store.horses[runner].runs[count + 1].date > 0)
            ++count;
        return count;
    }
    int runner;
    std::unique_ptr<PageTable> table = std::make_unique<PageTable>();
    RaceStore store;
    RecordingSink messages;
};

}  // namespace marunoki::test
