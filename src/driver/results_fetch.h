#pragma once
// Filling the journal's pending results: the past-performance pages of the
// runners whose result is missing and whose race has been run, read with the
// site's own history reader, the run on the race's date taken as the result.
//
// NOTES ON THE DESIGN
// - A race counts as run from kRaceEndHourJst (Japan time) of its date; the
//   last central race of a day has finished by then.
// - Every page is asked for ahead (prefetch), so the page source keeps its own
//   limit of requests in flight (--jobs) while the pages are read in order on
//   this thread. Each horse's page is read once, whatever the number of its
//   pending races.
// - A copy in the page cache stored before the race ended cannot show the
//   result: it is dropped before the pages are asked for, so they are fetched.
// - A page that shows the race gives the result (a run without a finishing
//   position: not run, 取消・除外). A page that shows no run on that date
//   means "not run" once it shows a later run or the race is kGraceDays old;
//   before that the site may not have posted it yet and the result stays
//   pending. A page that could not be read leaves its results pending and is
//   named in the outcome.

#include "app/settings_values.h"
#include "journal/journal.h"

#include <QDateTime>
#include <QStringList>

#include <atomic>
#include <optional>
#include <vector>

namespace marunoki {

class MessageSink;
class PageCache;
class PageSource;
class ProgressSink;

constexpr int kRaceEndHourJst = 17;
constexpr int kGraceDays = 2;

// The last race date whose races have been run at `now`.
QDate lastRunDate(const QDateTime &now);
// When the races of a date are over (UTC).
QDateTime raceEnd(QDate date);

struct ResultsContext {
    Journal &journal;
    Settings settings;  // the two sites' base addresses (a moved site is followed)
    PageSource &source;
    PageCache *cache = nullptr;  // the cache behind source; null when there is none
    ProgressSink &progress;
    MessageSink &messages;
    std::atomic<qint16> &cancelFlag;
    QDateTime now = QDateTime::currentDateTimeUtc();
};

// What became of one race's pending runners.
struct ResultsRace {
    RaceKey key;
    QString title;
    int found = 0;  // finishing positions recorded
    int notRun = 0;  // recorded as not run
    int pending = 0;  // still without a result
};

struct [[nodiscard]] ResultsOutcome {
    std::vector<ResultsRace> races;  // in race order
    QStringList failedPages;  // "<address> (<cause>)"
    bool stopped = false;  // the user stopped it
    Status status = Status::success();  // the journal could not be read or written
    int found() const;
    int notRun() const;
    int pending() const;
};

// Fetches the pages of the pending runners of the races from since to until
// and records what they show. The status line says which race of how many and
// which page of how many is read ("3 / 12 レース　05/40 ..."), the runner
// progress counts the pages.
ResultsOutcome fetchResults(ResultsContext &context, std::optional<QDate> since, std::optional<QDate> until);

// "計 3 レース: 着順 45 頭、出走なし 1 頭、未取得 0 頭"
QString resultsTotalLine(const ResultsOutcome &outcome);

// The one message that ends a fetch in the window: how many were filled, and
// the pages that failed (address and cause; the first kFailedPagesShown in the
// text, all in the detail). Success only when it ran to the end and every
// page was read.
struct ResultsReport {
    bool success = false;
    QString text;
    QString detail;
};
constexpr int kFailedPagesShown = 10;
ResultsReport resultsReport(const ResultsOutcome &outcome);

}  // namespace marunoki
