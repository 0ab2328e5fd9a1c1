#pragma once
// A race day: the races of one meeting day loaded one after another with the
// load driver, the next race's pages fetched while the current one is read
// and analysed.
//
// NOTES ON THE DESIGN
// - Each race is one runLoad, unchanged: a race's results are exactly those of
//   a single load of it. The day only decides the order of the requests.
// - As soon as a race has asked for its runners' pages, a look-ahead thread
//   fetches the next race's card (kept in memory for that race's load), reads
//   the runners' addresses from it into a scratch store and asks for their
//   pages too. The page source keeps them queued behind the current race's, so
//   the requests in flight (the source's own limit, counted over all races)
//   never wait on the parser or the analysis. The look-ahead of a race has
//   always ended before that race's load begins; it is never asked to fetch a
//   page the load is fetching at the same time.
// - A race whose load stops at a message (its card is not on the site) is one
//   line in the outcome and the day goes on. A stop request (the store's
//   cancelFlag, or the day's own flag, which survives the reset at the start of
//   each load) ends the day after the race in progress.
// - One store serves every race, reset by each load, so the memory of a day
//   does not grow with the number of races; the observer sees each race while
//   the store still holds it.

#include "app/common.h"
#include "app/settings_values.h"
#include "driver/race_selection.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

namespace marunoki {

class JournalRecorder;
class MessageSink;
class PageSource;
class ProgressSink;
class RaceStore;

// The day: the selection boxes' texts without the race, and the race numbers.
struct DaySelection {
    QString year, course, meeting, day;  // as RaceSelection
    ReadingSite site = ReadingSite::None;
    int firstRace = 1;
    int lastRace = kMaxRacesOfDay;

    // The selection of race number race of this day.
    RaceSelection race(int race) const;
};

// What became of one race of the day.
struct DayRace {
    int race = 0;
    bool analysed = false;
    // Not analysed: why, in one line (the load's messages joined).
    QString reason;
    // Not analysed: what lies behind it, as a load's detail line ("<address>
    // (<cause>)"); empty when there is none.
    QString detail;
    // Analysed with something missing: what (LoadGaps::summary); empty when the
    // race is complete.
    QString missing;
};

struct [[nodiscard]] DayResult {
    std::vector<DayRace> races;  // in race order, the races that were begun
    bool stopped = false;  // the user stopped the day
    bool journalFailed = false;  // some analysed race could not be recorded
    int analysedCount() const;
    // The races analysed with something missing.
    int incompleteCount() const;
    // The races begun and not analysed, one line each in race order:
    // "1R: " and why ("理由不明" when the load said nothing).
    QStringList failures() const;
};

// Told about each race as the day goes.
class DayObserver {
public:
    virtual ~DayObserver() = default;
    // Race number race, the k-th of count, is about to load.
    virtual void raceStarting(int race, int k, int count) = 0;
    // It has finished; store holds it when outcome.analysed. The observer may
    // draw from the store (a report puts back what it changes); the next race
    // resets it.
    virtual void raceFinished(const DayRace &outcome, RaceStore &store, int k, int count) = 0;
};

// What a day works with. Nothing is owned.
struct DayContext {
    RaceStore &store;
    Settings settings;
    AppFolder folder;
    PageSource &source;  // thread-safe (it is also used by the look-ahead)
    ProgressSink &progress;
    MessageSink &messages;  // the messages of the races that were analysed
    const std::atomic<bool> &stop;
    // Where the analysed races are recorded; null = one recorder for the day,
    // for the folder's journal when settings.keepJournal.
    JournalRecorder *journal = nullptr;
};

// Loads the races firstRace..lastRace of the day in order. Never throws.
DayResult runDay(const DaySelection &day, DayContext &context, DayObserver &observer);

}  // namespace marunoki
