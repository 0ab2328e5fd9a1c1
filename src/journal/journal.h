#pragma once
// The race journal: every race the program analysed, kept in "journal.sqlite"
// of the application folder, with its runners' results filled in after the race
// and the user's marks, so that a tally can say how the figures did.
//
// NOTES ON THE DESIGN
// - One SQLite file in WAL mode. PRAGMA application_id says the file is ours,
//   PRAGMA user_version holds its schema. Migrations run in order, each in its
//   own transaction, so a file of any older schema comes up to date and one
//   interrupted migration leaves the file at the version before it.
// - A file that is not a journal, one of a newer schema, or a damaged one is
//   refused at open with one message and never written: nothing is written
//   (not even the WAL switch) before those checks have passed, and they read
//   through a connection that cannot write, so a refused file's -wal is
//   neither checkpointed into it nor removed.
// - Every write takes the write lock at its start (BEGIN IMMEDIATE) and waits
//   up to kBusyTimeoutMs for another program holding it, so the desktop and a
//   command line `day` can share the file and neither loses a race.
// - A race is keyed by site, date, course, meeting, day and race number.
//   Recording it again replaces its analysis (the race row stays, its runner
//   rows are replaced). Results and marks live in their own tables keyed by
//   race, runner number and horse page address without scheme and host: they
//   survive a re-analysis, never pass to another horse when the card changed,
//   and stay when a site's base address changes.
// - A runner's result row exists once the result is known: what became of it
//   (FinishKind) with its position, or "not run" with what the page said. No
//   row = pending. A row that cannot be true is never recorded.
// - Each race keeps a summary of what the tally counts, rewritten by every
//   write here and cleared by triggers on any other write; the tally reads
//   one row per race.
// - Ranks are given when the race is recorded: 1 + the number of runners with
//   a strictly higher value, so ties share the better rank; a runner without
//   the statistic (no run counted) has no rank.
// - One Journal is one connection; use it from one thread at a time.

#include "app/result.h"
#include "app/status.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

namespace marunoki {

class RaceStore;

// The journal's file name in the application folder.
inline const QString kJournalFile = QStringLiteral("journal.sqlite");

// A race as the sites name it.
struct RaceKey {
    int site = 0;  // 1 or 2
    QDate date;
    QString course;  // central course code "01".."10"
    int meeting = 0;
    int day = 0;
    int race = 0;
    bool operator==(const RaceKey &) const = default;
};

// The user's marks, strongest first: ◎ 本命, ○ 対抗, ▲ 単穴, △ 連下, ☆ 穴, × 消し.
enum class Mark { Honmei, Taikou, Tanana, Renka, Ana, Kesi };
constexpr int kMarkCount = 6;
QString markSymbol(Mark mark);
// The mark of a symbol; nothing for any other text.
std::optional<Mark> markOfSymbol(const QString &symbol);
// ◎ ○ ▲ name one horse of a race each: setting one on a second runner moves
// it there. △ ☆ × may mark as many runners as the user likes.
bool isSingleMark(Mark mark);

// What became of a runner in its race, as the finishing-position cell says:
// a position; 中 (競走中止) and 失 (失格) ran and lost; 取 (取消) and 除 (除外)
// did not run (the stake is refunded); a position with 降 finished there
// after a demotion.
enum class FinishKind { Finished, DidNotFinish, Disqualified, Scratched, Excluded, Demoted };

// Whether the runner ran (and a win bet on it stood).
constexpr bool ran(FinishKind kind)
{
    return kind != FinishKind::Scratched && kind != FinishKind::Excluded;
}

// What a runner's own page says of one race after it was run.
struct RunnerResult {
    FinishKind kind = FinishKind::Finished;
    std::optional<int> finish;  // finishing position (Finished, Demoted); nothing otherwise
    int popularity = 0;  // 0 = not given
    int fieldSize = 0;
    double time = 0;  // seconds, 0 = none
    double last3f = 0;  // seconds, 0 = none
    std::optional<double> winOdds;  // 単勝 odds of the run (Site 1 pages only)
    QString notRun;  // when it has no position: what the page says
};

// A finishing-position cell read: the kind and position; nothing for a text
// that is none of them.
std::optional<std::pair<FinishKind, std::optional<int>>> finishOfCell(const QString &cell);

// Why a result cannot be true (a position behind the field, no field, no
// popularity, a time or last three furlongs no race runs); empty when it can.
QString implausibleResult(const RunnerResult &result);

// A horse page's address as the journal keys it: without scheme and host
// ("http://site1.example/directory/horse/1/" -> "/directory/horse/1/"), so
// that a site's new base address keeps the horse's results and marks.
QString horseKey(const QString &address);
// The address of a keyed page under the site's base address now (base; the
// recordedBase when empty): a site kept under a folder keeps its pages there.
QString horseAddress(const QString &key, const QString &recordedBase, const QString &base);

// A runner whose result is still missing.
struct PendingRunner {
    qint64 raceId = 0;
    RaceKey key;
    QString title;
    QString siteBase;  // the site's base address when the race was recorded
    int number = 0;
    QString name;
    QString horseUrl;  // the page's key (horseKey): put it under a base address to read it
};

struct RunnerMark {
    int number = 0;
    QString horseUrl;
    QString name;
    Mark mark = Mark::Honmei;
    QDateTime setAt;
};

// The marks of one race by runner number.
using MarksByNumber = std::map<int, Mark>;

// The recorded results of one race by the number on its recorded card.
using ResultsByNumber = std::map<int, RunnerResult>;

// A runner as its race's card was recorded.
struct RecordedRunner {
    int number = 0;
    QString name;
    QString horseUrl;
};

// A mark with the race it belongs to.
struct KeyedMark {
    RaceKey key;
    RunnerMark mark;  // number: the runner's number when the mark was set
    // The horse's number on the race's recorded card (the card may have
    // changed since the mark was set); 0 when the horse is no longer on it.
    int cardNumber = 0;
};

// One mark to set (or with nothing to clear) on a recorded race.
struct MarkChange {
    RaceKey key;
    int number = 0;
    QString horseUrl;
    std::optional<Mark> mark;
};

// The races a tally looks at. Empty fields do not filter.
struct TallyFilter {
    std::optional<QDate> from, to;
    std::optional<int> site;
    QString course;  // course code "01".."10"
    std::optional<int> surface;  // 1 turf, 0 dirt
    std::optional<std::pair<int, int>> distance;  // metres, inclusive
    std::optional<std::pair<int, int>> runners;  // field size, inclusive
    bool operator==(const TallyFilter &) const = default;
};

// One runner of a race in the tally's filter.
struct TallyRunner {
    int number = 0;
    std::optional<int> rankMean, rankBest, rankMean90;
    bool hasResult = false;  // a result row exists (or the runner has no page to get one from)
    FinishKind kind = FinishKind::Finished;
    std::optional<int> finish;  // nothing when it did not finish or is pending
    int popularity = 0;
    std::optional<double> winOdds;
    std::optional<Mark> mark;
};

// A race in the tally's filter with its runners by number.
struct TallyRace {
    qint64 id = 0;
    int site = 0;
    QDate date;
    QString course;
    int race = 0;
    std::optional<int> surface;
    int distance = 0;
    int fieldSize = 0;
    int leftOut = 0;  // card rows the load left out (a break in the numbers)
    // By how much the top runner of each figure (mean, best, 90-day mean) led
    // the second when recorded; nothing without two runners with the figure.
    std::array<std::optional<double>, 3> lead;
    std::vector<TallyRunner> runners;
};

// The run of runner slot n in the store (its past runs, as a reader filled
// them) that is the race of key: same date and course, and the same race
// number when both give one; of two runs that day, the one whose course and
// race number both match. `refused` says why a run found cannot be taken (two
// runs and none matches, a row the reader gave up on, an impossible result);
// both empty when the page shows no run that day.
struct RunLookup {
    std::optional<RunnerResult> result;
    QString refused;
};
RunLookup findResultInRuns(const RaceStore &store, int n, const RaceKey &key);
// The result only (nothing when refused).
std::optional<RunnerResult> resultInRuns(const RaceStore &store, int n, const RaceKey &key);

class Journal {
public:
    static constexpr int kSchemaVersion = 3;
    static constexpr int kBusyTimeoutMs = 5000;
    // application_id of our files ("MKJ1").
    static constexpr int kApplicationId = 0x4d4b4a31;

    using Opened = Result<std::unique_ptr<Journal>>;
    // Opens the journal at path, making it when missing and bringing an older
    // schema up to date. Refuses (with one message in the status) a file that is
    // not a journal, one of a newer schema, a damaged one, and one that cannot
    // be written; such a file is left as it was.
    static Opened open(const QString &path);
    ~Journal();
    Journal(const Journal &) = delete;
    Journal &operator=(const Journal &) = delete;

    // Records the analysed race in the store (one transaction): the race row
    // and every runner of the card with its statistics and ranks, and how many
    // rows of the card were left out. share is the settings' kakeritu, siteBase
    // the site's base address of the load.
    Status recordRace(const RaceKey &key, const RaceStore &store, float share, const QString &siteBase);

    // Fills the pending results that the runners' past runs in the store show
    // (a load has just read their pages): a run of the same site's course on
    // the pending race's date. A run that cannot be the result (see
    // findResultInRuns) leaves the runner pending. Returns how many were filled.
    Result<int> fillResultsFromRuns(int site, const RaceStore &store);

    // The runners without a result of the races from since to until (either may
    // be empty) that were run on or before lastRun, by race then number.
    Result<std::vector<PendingRunner>> pendingResults(
        std::optional<QDate> since, std::optional<QDate> until, QDate lastRun);

    // Records a runner's result (replacing one there). horseUrl may be the
    // page's address or its key.
    Status recordResult(qint64 raceId, int number, const QString &horseUrl, const RunnerResult &result);

    // Sets (or with nothing clears) the mark of runner `number` whose page is
    // horseUrl in the race; the race must have been recorded.
    Status setMark(const RaceKey &key, int number, const QString &horseUrl, std::optional<Mark> mark);
    // The race's marks in mark order, then by number.
    Result<std::vector<RunnerMark>> marks(const RaceKey &key);

    // Sets every change in one transaction: all of them, or (on a failure, or
    // a race not recorded) none. A single mark (isSingleMark) set on a runner
    // leaves the race's other runner that held it.
    Status setMarks(const std::vector<MarkChange> &changes);
    // Every mark of the journal with its horse's number on the recorded card,
    // by date, course, race number, site, then runner number.
    Result<std::vector<KeyedMark>> allMarks();
    // Runner `number` of the recorded race; nothing when the race is not
    // recorded or its card had no such runner.
    Result<std::optional<RecordedRunner>> recordedRunner(const RaceKey &key, int number);
    // Every runner of the recorded race's card by number; empty when the race
    // is not recorded.
    Result<std::vector<RecordedRunner>> recordedCard(const RaceKey &key);
    // The recorded race of a site's meeting, day and race at course in year
    // (as the race is chosen, without its date); nothing when not recorded.
    Result<std::optional<RaceKey>> recordedRace(
        int site, int year, const QString &course, int meeting, int day, int race);
    // The recorded races run on date at course with that race number: one per
    // site that was read for it, site 1 first.
    Result<std::vector<RaceKey>> racesOn(const QDate &date, const QString &course, int race);

    // The date of the latest race recorded; nothing in an empty journal.
    Result<std::optional<QDate>> latestRaceDate();

    // The races the filter lets through, in the order recorded, with their runners.
    Result<std::vector<TallyRace>> tallyRaces(const TallyFilter &filter);
    // Brings every race's tally summary up to date (the rows written by
    // something other than this class leave it out of date); returns how many
    // were made again.
    Result<int> refreshTallySummaries();

    // The results recorded for the runners of the race's recorded card, by
    // their number on it (a result of a horse no longer on the card is left
    // out); empty when the race is not recorded or has no results yet.
    Result<ResultsByNumber> raceResults(const RaceKey &key);

    // Whether a race is in the journal.
    Result<std::optional<qint64>> raceId(const RaceKey &key);

    int schemaVersion() const;
    const QString &path() const { return path_; }

    // Whether a failure was the write lock held by another program past
    // kBusyTimeoutMs (the next write would most likely wait as long again).
    static bool isBusy(const Status &status);

private:
    Journal(sqlite3 *db, QString path);
    // A connection to path with SQLite's open flags, or why there is none.
    static Opened connect(const QString &path, int flags);
    // Whether the file is a journal this program may use (ours, or an empty
    // SQLite file; not of a newer schema, not damaged); reads only.
    Status checkIsOurs() const;
    // The status of a failed SQLite call (code, or the connection's last one).
    Status failure(const QString &what, int code = 0) const;
    // What a failure says when the lock did not come free in time.
    static QString busyCause();
    Status exec(const char *sql);
    Status migrate(int from);
    template <typename Work>
    Status inTransaction(Work work);
    // Writes a result (inside a transaction).
    Status writeResult(qint64 raceId, int number, const QString &horseUrl, const RunnerResult &result);
    // The race's runners as the tally counts them, from the tables.
    Result<std::vector<TallyRunner>> runnersForTally(qint64 raceId);
    // The figures' leads of the race (TallyRace::lead).
    Result<std::array<std::optional<double>, 3>> leadsOf(qint64 raceId);
    // Writes the race's tally summary (inside a transaction).
    Status refreshSummary(qint64 raceId);

    sqlite3 *db_ = nullptr;
    QString path_;
};

}  // namespace marunoki
