#pragma once
// The backtest: a past season replayed race by race. Every race is loaded as
// of its date (the same runLoad as a single load), recorded in the journal,
// and its results are filled at once from the runners' pages the load has just
// read: the race is in the past, so its own run is on them.
//
// NOTES ON THE DESIGN
// - There is no calendar of past meetings, so the walk goes by meeting keys:
//   for each course, meetings 1, 2, ... and days 1, 2, ... of the year, asking
//   for each day's race 1 card. A card that is not there ("not found": HTTP
//   404, or a page an offline folder never held) ends the meeting's days; a
//   meeting without its day 1 ends the course. Races 1..12 of a day that
//   exists; a missing race card ends the day. A race 1 card that fails in
//   another way is one day not read, and the walk goes on with the next day.
// - The date range keeps the days whose card date lies in it; a day after it
//   ends the course (a course's meetings follow one another in the year). The
//   range never goes past the last race date that has been run.
// - A page copy stored after the end of the range's last race day (17:00 Japan
//   time) is good for every race of the walk, whatever the cache's hour limits
//   say: a horse's page is fetched once per backtest however often it ran, and
//   a second backtest of the same season fetches nothing. The walk's "not
//   found" answers are kept in the cache alike.
// - A race already in the journal with a result for every runner is passed
//   over without a request (refresh loads it again, with fresh pages).
// - A reader thread runs a few races ahead of the loads: it reads the next
//   races' cards and asks for their runners' pages, so the requests in flight
//   (the source's own limit) stay busy while races are analysed. What it has
//   read is handed to the race's load; the memory held does not grow with the
//   season.
// - The stop flag ends the backtest within a second; every race finished by
//   then is in the journal. A journal that cannot be written ends it at once.

#include "app/common.h"
#include "app/settings_values.h"
#include "app/status.h"
#include "journal/journal.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>
#include <vector>

namespace marunoki {

class MessageSink;
class PageCache;
class PageSource;
class RaceStore;

constexpr int kMaxMeetingsOfYear = 10;

// What to replay.
struct BacktestRequest {
    ReadingSite site = ReadingSite::One;
    int year = 0;
    QStringList courses;  // course codes "01".."10" in walk order; empty = all ten
    int firstMeeting = 1;
    int lastMeeting = kMaxMeetingsOfYear;
    std::optional<QDate> from, to;  // card dates kept (inclusive)
    bool refresh = false;  // load the races already complete in the journal again
    QDateTime now = QDateTime::currentDateTimeUtc();  // for the races that have been run
};

// Where the pages come from. Nothing is owned.
struct BacktestSources {
    PageSource &source;  // thread-safe; what a load reads through
    PageCache *cache = nullptr;  // the cache behind source; null when there is none
};

// What the backtest works with. Nothing is owned.
struct BacktestContext {
    Settings settings;  // kakeritu, the sites' base addresses, keepJournal
    AppFolder folder;  // marunoki.dat, NAR_data.mdb and the journal
    BacktestSources pages;
    MessageSink &messages;  // what must be said at once (the journal's failure)
    const std::atomic<bool> &stop;
};

enum class BacktestRaceState {
    Analysed,  // analysed and recorded, every page read
    Incomplete,  // analysed with something missing (a runner's page, a result)
    NotRead,  // not analysed (its card or a page failed, the load stopped)
    PassedOver,  // already complete in the journal
};

// One race of the walk (or a day whose race 1 card failed: race 0).
struct BacktestRace {
    RaceKey key;  // date: the card's, when it was read
    BacktestRaceState state = BacktestRaceState::NotRead;
    QString reason;  // Incomplete / NotRead: why, in one line
    QString detail;  // NotRead: the failed page's address and cause, if any
};

// Where the walk has got to, for the progress line.
struct BacktestProgress {
    QString course;  // course code of the day
    int meeting = 0;
    int day = 0;
    QDate date;  // the day's card date
    int days = 0;  // days begun
    int races = 0;  // races finished (any state)
    int pagesFetched = 0;  // pages read from the network (or an offline folder)
    int pagesCached = 0;  // pages answered by the cache
    qint64 elapsedMs = 0;
    // The estimated time left (from how far the walk is through its courses
    // and dates); empty before the first race.
    std::optional<qint64> remainingMs;
};

// Told about the walk as it goes; called on the backtest's own thread.
class BacktestObserver {
public:
    virtual ~BacktestObserver() = default;
    // A day exists and its races are about to load.
    virtual void dayStarting(const BacktestProgress &progress) { (void)progress; }
    // A race ended. store holds it when it was analysed (until the next race).
    virtual void raceFinished(
        const BacktestRace &race, const RaceStore *store, const BacktestProgress &progress)
    {
        (void)race;
        (void)store;
        (void)progress;
    }
    // The day's races ended: analysed of count (passed over races count as analysed).
    virtual void dayFinished(const BacktestProgress &progress, int analysed, int count)
    {
        (void)progress;
        (void)analysed;
        (void)count;
    }
};

struct [[nodiscard]] BacktestOutcome {
    // Every race begun (passed over ones included) and every day not read, in walk order.
    std::vector<BacktestRace> races;
    int days = 0;
    int pagesFetched = 0;
    int pagesCached = 0;
    bool stopped = false;
    // The journal could not be written (the backtest ended there), or another
    // cause that ended it before the first race (marunoki.dat).
    Status status = Status::success();
    // The card dates of the days the backtest covered; empty when none.
    std::optional<QDate> firstDate, lastDate;

    int count(BacktestRaceState state) const;
    // "1回東京3日 5R: why" per race incomplete or not read, in walk order.
    QStringList problems() const;
    // 0 every race read; 4 some incomplete or not read; 3 nothing analysed or
    // stopped before the first race; 1 the journal failed.
    int exitStatus() const;
};

// "1回東京3日" of a course code, meeting and day.
QString meetingDayName(const QString &course, int meeting, int day);

// Replays the request. Never throws.
BacktestOutcome runBacktest(
    const BacktestRequest &request, BacktestContext &context, BacktestObserver &observer);

}  // namespace marunoki
