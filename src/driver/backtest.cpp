#include "driver/backtest.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/day_driver.h"
#include "driver/journal_recorder.h"
#include "driver/load_driver.h"
#include "driver/race_selection.h"
#include "driver/results_fetch.h"
#include "journal/tally_request.h"
#include "web/fetch_cause.h"
#include "web/network_page_source.h"
#include "web/page_cache.h"
#include "web/page_loader.h"
#include "web/page_source.h"
#include "web/reader_page.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <condition_variable>
#include <deque>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

namespace marunoki {

namespace {

// How many races the card reader may be ahead of the loads: enough runners'
// pages asked for to keep the requests in flight busy late in a season, when
// most horses' pages come from the cache.
constexpr int kRacesAhead = 6;
// How often the stop flag is looked at.
constexpr int kStopPollMs = 20;

const QString kNoRunOnThatDate = QStringLiteral("出走記録なし");
const QString kDayNotRead = QStringLiteral("1Rの出馬表が読めないため、この日のレースは読んでいません");

// The cache key of the walk's "not found" answer for an address (a fragment
// never sent, so no page is ever stored under it).
QString notFoundKey(const QString &url)
{
    return url + QStringLiteral("#not-found");
}

// A card that is not on the site, as opposed to one that failed.
bool isNotFound(const QString &cause)
{
    return cause == QStringLiteral("HTTP 404") || cause == notInArchiveCause();
}

class SilentProgress : public ProgressSink {
public:
    void status(const QString &) override { }
};

QDate dateOfSerial(double serial)
{
    const Ymd ymd = ymdFromSerial(serial);
    return QDate(ymd.year, ymd.month, ymd.day);
}

// The backtest's face of the page source. A copy in the cache stored after
// goodAfter answers for every race of the walk; an older one is dropped so that
// the page is fetched. Cards the card reader read ahead are handed once to the
// race's load; the horse pages a load read are kept for its results.
class SeasonPages : public PageSource {
public:
    SeasonPages(PageSource &inner, PageCache *cache, QDateTime goodAfter)
        : inner_(inner)
        , cache_(cache)
        , goodAfter_(std::move(goodAfter))
    { }

    FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) override
    {
        {
            std::lock_guard lock(mutex_);
            if (const auto it = kept_.find(url); it != kept_.end()) {
                FetchedPage page = std::move(*it);
                kept_.erase(it);
                return page;
            }
        }
        FetchedPage page = fromCacheOrInner(url, cancelFlag);
        if (page.outcome == FetchedPage::Outcome::Ok && pageKindOf(url) == PageKind::Horse) {
            std::lock_guard lock(mutex_);
            racePages_.insert(url, page);
        }
        return page;
    }

    void prefetch(const QStringList &urls) override
    {
        QStringList missing;
        for (const QString &url : urls) {
            if (good(url))
                continue;
            std::lock_guard lock(mutex_);
            if (!asked_.contains(url)) {
                asked_.insert(url);
                missing.append(url);
            }
        }
        if (!missing.isEmpty())
            inner_.prefetch(missing);
    }

    void cancelAll() override
    {
        {
            std::lock_guard lock(mutex_);
            asked_.clear();
        }
        inner_.cancelAll();
    }

    void discard(const QString &url) override
    {
        if (cache_)
            cache_->remove(url);
        inner_.discard(url);
    }

    // The card reader's face: what it fetches is kept for the race's load.
    class Ahead : public PageSource {
    public:
        explicit Ahead(SeasonPages &owner)
            : owner_(owner)
        { }
        FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) override
        {
            FetchedPage page = owner_.fromCacheOrInner(url, cancelFlag);
            lastCause_ = page.outcome == FetchedPage::Outcome::Failed ? page.error : QString();
            if (page.outcome == FetchedPage::Outcome::Ok) {
                std::lock_guard lock(owner_.mutex_);
                owner_.kept_.insert(url, page);
            }
            return page;
        }
        void prefetch(const QStringList &urls) override { owner_.prefetch(urls); }
        void discard(const QString &url) override { owner_.discard(url); }
        // The cause of the last fetch that failed; empty when it did not.
        const QString &lastCause() const { return lastCause_; }

    private:
        SeasonPages &owner_;
        QString lastCause_;
    };

    // The results' face: the horse pages the race's load has just read.
    class OfRace : public PageSource {
    public:
        explicit OfRace(SeasonPages &owner)
            : owner_(owner)
        { }
        FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) override
        {
            {
                std::lock_guard lock(owner_.mutex_);
                if (const auto it = owner_.racePages_.find(url); it != owner_.racePages_.end())
                    return *it;
            }
            return owner_.fetch(url, cancelFlag);
        }

    private:
        SeasonPages &owner_;
    };

    // A card read ahead that no load will take.
    void drop(const QString &url)
    {
        std::lock_guard lock(mutex_);
        kept_.remove(url);
    }
    void clearRacePages()
    {
        std::lock_guard lock(mutex_);
        racePages_.clear();
    }

    // Whether the cache knows the address as not found.
    bool knownMissing(const QString &url) const
    {
        if (!cache_)
            return false;
        const auto copy = cache_->lookup(notFoundKey(url), std::numeric_limits<qint64>::max());
        return copy && copy->storedAt >= goodAfter_;
    }
    void rememberMissing(const QString &url)
    {
        if (cache_)
            (void)cache_->store(notFoundKey(url), QByteArrayLiteral("<html></html>"), QByteArray());
    }

    int fetched() const { return fetched_.load(); }
    int cached() const { return cached_.load(); }

private:
    bool good(const QString &url) const
    {
        if (!cache_)
            return false;
        const auto copy = cache_->lookup(url, std::numeric_limits<qint64>::max());
        return copy && copy->storedAt >= goodAfter_;
    }

    FetchedPage fromCacheOrInner(const QString &url, const std::atomic<qint16> &cancelFlag)
    {
        if (cache_) {
            if (const auto copy = cache_->lookup(url, std::numeric_limits<qint64>::max())) {
                if (copy->storedAt >= goodAfter_) {
                    cached_++;
                    return pageFromBytesUnlessStopped(copy->bytes, copy->charset, cancelFlag);
                }
                // Stored before a race of the walk ended: it may not show it.
                cache_->remove(url);
            }
        }
        FetchedPage page = inner_.fetch(url, cancelFlag);
        {
            std::lock_guard lock(mutex_);
            asked_.remove(url);
        }
        if (page.outcome != FetchedPage::Outcome::Cancelled)
            fetched_++;
        return page;
    }

    PageSource &inner_;
    PageCache *cache_;
    QDateTime goodAfter_;
    std::mutex mutex_;
    QHash<QString, FetchedPage> kept_;
    QHash<QString, FetchedPage> racePages_;
    QSet<QString> asked_;
    std::atomic<int> fetched_ {0};
    std::atomic<int> cached_ {0};
};

// One step of the walk, handed from the card reader to the loads.
struct WalkStep {
    enum class Kind { DayStart, Race, DayEnd, End };
    Kind kind = Kind::End;
    RaceSelection selection;
    RaceKey key;
    int courseIndex = 0;
    // Race: Analysed = to be loaded; PassedOver or NotRead as decided by the walk.
    BacktestRaceState state = BacktestRaceState::Analysed;
    QString reason, detail;
};

WalkStep stepOf(WalkStep::Kind kind, const RaceSelection &selection = {})
{
    WalkStep step;
    step.kind = kind;
    step.selection = selection;
    return step;
}

// Whether the race of selection is in the journal with every runner's result.
std::optional<RaceKey> completeRace(Journal &journal, const RaceSelection &selection, int site, QDate lastRun)
{
    const auto recorded = journal.recordedRace(site, selection.year.toInt(), courseCode(*selection.course),
        selection.meeting->toInt(), selection.day->toInt(), selection.race->toInt());
    if (!recorded.status.ok() || !recorded.value)
        return std::nullopt;
    const RaceKey &key = *recorded.value;
    const auto id = journal.raceId(key);
    const auto pending = journal.pendingResults(key.date, key.date, lastRun);
    if (!id.status.ok() || !id.value || !pending.status.ok() || key.date > lastRun)
        return std::nullopt;
    for (const PendingRunner &runner : pending.value) {
        if (runner.raceId == *id.value)
            return std::nullopt;
    }
    return key;
}

// The walk of meeting keys on a thread of its own, a few races ahead of the
// loads. Everything it learns goes into the queue as steps.
class Walker {
public:
    Walker(const BacktestRequest &request, const BacktestContext &context, SeasonPages &pages, QDate from,
        QDate until)
        : request_(request)
        , context_(context)
        , ahead_(pages)
        , pages_(pages)
        , from_(from)
        , until_(until)
        , lastRun_(lastRunDate(request.now))
        , site_(request.site == ReadingSite::Two ? 2 : 1)
        , scratch_(std::make_unique<RaceStore>())
    { }
    ~Walker() { stop(); }

    void start()
    {
        thread_ = std::thread([this] {
            walk();
            push(stepOf(WalkStep::Kind::End));
        });
    }
    void stop()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        scratch_->cancelFlag.store(-1);
        changed_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }
    // Keeps the reader's page loads stopped (each card read resets its store).
    void cancel() { scratch_->cancelFlag.store(-1); }

    // The next step; waits for it.
    WalkStep next()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !steps_.empty(); });
        WalkStep step = std::move(steps_.front());
        steps_.pop_front();
        if (step.kind == WalkStep::Kind::Race)
            racesQueued_--;
        changed_.notify_all();
        return step;
    }

private:
    struct Card {
        enum class State { Read, NotFound, Failed, Cancelled } state = State::Failed;
        QDate date;
        QString detail;
    };

    bool stopping()
    {
        std::lock_guard lock(mutex_);
        return stopping_ || context_.stop.load();
    }

    void push(WalkStep step)
    {
        std::unique_lock lock(mutex_);
        if (step.kind == WalkStep::Kind::Race) {
            changed_.wait(lock, [this] { return racesQueued_ < kRacesAhead || stopping_; });
            racesQueued_++;
        }
        steps_.push_back(std::move(step));
        changed_.notify_all();
    }

    // Reads the card of the race and asks for its runners' pages when it is in
    // the range.
    Card readCard(const RaceSelection &selection)
    {
        Card card;
        const std::optional<SiteReaders> site = siteReaders(selection, context_.settings);
        if (!site)
            return card;
        if (pages_.knownMissing(site->cardUrl)) {
            card.state = Card::State::NotFound;
            return card;
        }
        RaceStore &store = *scratch_;
        store.clearForLoad();
        if (stopping())
            store.cancelFlag.store(-1);
        SilentProgress progress;
        RecordingSink messages;
        PageLoader loader(ahead_, progress, messages, store.cancelFlag);
        const PageStatus status = site->card->readCard(loader, site->cardUrl, site->base, store, messages);
        if (status == PageStatus::Cancelled) {
            card.state = Card::State::Cancelled;
            return card;
        }
        if (status != PageStatus::Read || store.fieldSize <= 0 || store.raceDate <= 0) {
            pages_.drop(site->cardUrl);
            if (isNotFound(ahead_.lastCause())) {
                if (ahead_.lastCause() != notInArchiveCause())
                    pages_.rememberMissing(site->cardUrl);
                card.state = Card::State::NotFound;
                return card;
            }
            card.detail = loader.failureDetail();
            return card;
        }
        card.state = Card::State::Read;
        card.date = dateOfSerial(store.raceDate);
        if (card.date < from_ || card.date > until_) {
            pages_.drop(site->cardUrl);
            return card;
        }
        QStringList horsePages;
        for (const qint32 n : store.runners()) {
            if (!store.horses[n].pageAddress.isEmpty())
                horsePages.append(store.horses[n].pageAddress);
        }
        pages_.prefetch(horsePages);
        return card;
    }

    WalkStep raceStep(const RaceSelection &selection, int courseIndex) const
    {
        WalkStep step = stepOf(WalkStep::Kind::Race, selection);
        step.courseIndex = courseIndex;
        step.key.site = site_;
        step.key.course = courseCode(*selection.course);
        step.key.meeting = selection.meeting->toInt();
        step.key.day = selection.day->toInt();
        step.key.race = selection.race->toInt();
        return step;
    }

    // The race passed over when the journal holds it complete.
    std::optional<RaceKey> passedOver(Journal *journal, const RaceSelection &selection) const
    {
        if (!journal || request_.refresh)
            return std::nullopt;
        return completeRace(*journal, selection, site_, lastRun_);
    }

    // Walks the days of one meeting; false when the meeting has no day 1 or
    // the course goes past the range (the course ends).
    bool walkMeeting(const QString &courseName, int courseIndex, int meeting)
    {
        for (int day = 1; day <= kMaxDaysOfMeeting; ++day) {
            if (stopping())
                return false;
            RaceSelection race1 {QString::number(request_.year), courseName,
                QStringLiteral("%1").arg(meeting, 2, 10, QLatin1Char('0')),
                QStringLiteral("%1").arg(day, 2, 10, QLatin1Char('0')), QStringLiteral("01"), request_.site};
            // The journal is opened for each day, and only when there is one.
            std::unique_ptr<Journal> journal;
            if (const QString path = context_.folder.file(kJournalFile); QFileInfo::exists(path))
                journal = openExistingJournal(path).value;

            QDate date;
            std::optional<RaceKey> done = passedOver(journal.get(), race1);
            if (done) {
                date = done->date;
            } else {
                const Card card = readCard(race1);
                switch (card.state) {
                case Card::State::Cancelled:
                    return false;
                case Card::State::NotFound:
                    return day > 1;
                case Card::State::Failed: {
                    WalkStep failed = raceStep(race1, courseIndex);
                    failed.state = BacktestRaceState::NotRead;
                    failed.reason = kDayNotRead;
                    failed.detail = card.detail;
                    push(std::move(failed));
                    continue;
                }
                case Card::State::Read:
                    date = card.date;
                    break;
                }
            }
            if (date > until_)
                return false;
            if (date < from_)
                continue;

            // The day's other cards and the next day's race 1 (the walk asks
            // for it either way) are fetched together, not one by one.
            std::vector<std::optional<RaceKey>> complete(kMaxRacesOfDay + 1);
            QStringList cards;
            for (int race = 2; race <= kMaxRacesOfDay + 1; ++race) {
                RaceSelection selection = race1;
                if (race > kMaxRacesOfDay)
                    selection.day = QStringLiteral("%1").arg(day + 1, 2, 10, QLatin1Char('0'));
                else
                    selection.race = QStringLiteral("%1").arg(race, 2, 10, QLatin1Char('0'));
                const std::optional<RaceKey> passed = passedOver(journal.get(), selection);
                if (race <= kMaxRacesOfDay)
                    complete[size_t(race)] = passed;
                const std::optional<SiteReaders> site = siteReaders(selection, context_.settings);
                if (!passed && site && !pages_.knownMissing(site->cardUrl))
                    cards.append(site->cardUrl);
            }
            pages_.prefetch(cards);

            WalkStep dayStart = stepOf(WalkStep::Kind::DayStart, race1);
            dayStart.key.date = date;
            dayStart.courseIndex = courseIndex;
            push(dayStart);
            for (int race = 1; race <= kMaxRacesOfDay; ++race) {
                RaceSelection selection = race1;
                selection.race = QStringLiteral("%1").arg(race, 2, 10, QLatin1Char('0'));
                WalkStep step = raceStep(selection, courseIndex);
                step.key.date = date;
                if (race == 1 && done) {
                    step.state = BacktestRaceState::PassedOver;
                } else if (race > 1) {
                    if (const std::optional<RaceKey> &passed = complete[size_t(race)]) {
                        step.state = BacktestRaceState::PassedOver;
                        step.key.date = passed->date;
                    } else {
                        const Card card = readCard(selection);
                        if (card.state == Card::State::Cancelled || card.state == Card::State::NotFound)
                            break;
                        if (card.state == Card::State::Failed) {
                            step.state = BacktestRaceState::NotRead;
                            step.reason = QStringLiteral("出馬表が正常に読み込めません");
                            step.detail = card.detail;
                        } else {
                            step.key.date = card.date;
                        }
                    }
                }
                push(std::move(step));
                if (stopping())
                    break;
            }
            push(stepOf(WalkStep::Kind::DayEnd, race1));
        }
        return true;
    }

    void walk()
    {
        QStringList courses = request_.courses;
        if (courses.isEmpty()) {
            for (int c = 1; c <= 10; ++c)
                courses.append(QStringLiteral("%1").arg(c, 2, 10, QLatin1Char('0')));
        }
        for (int c = 0; c < courses.size(); ++c) {
            const QString name = courseNameOfCode(courses[c]);
            for (int meeting = request_.firstMeeting; meeting <= request_.lastMeeting; ++meeting) {
                if (stopping() || !walkMeeting(name, c, meeting))
                    break;
            }
            if (stopping())
                return;
        }
    }

    const BacktestRequest &request_;
    const BacktestContext &context_;
    SeasonPages::Ahead ahead_;
    SeasonPages &pages_;
    QDate from_, until_;
    QDate lastRun_;
    int site_;
    std::unique_ptr<RaceStore> scratch_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<WalkStep> steps_;
    int racesQueued_ = 0;
    bool stopping_ = false;
};

// Sets the stores' stop flags while the caller's stop is set (a load resets
// its store's flag when it begins).
class StopWatch {
public:
    StopWatch(const std::atomic<bool> &stop, const std::vector<RaceStore *> &stores, Walker &walker)
        : thread_([this, &stop, stores, &walker] {
            std::unique_lock lock(mutex_);
            while (!done_) {
                if (stop.load()) {
                    for (RaceStore *store : stores)
                        store->cancelFlag.store(-1);
                    walker.cancel();
                }
                ended_.wait_for(lock, std::chrono::milliseconds(kStopPollMs));
            }
        })
    { }
    ~StopWatch()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_all();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

// The results of the race just loaded, from the pages its load read: they
// were fetched after the race, so the race is their newest run but one.
// Returns how many runners are still without a result, or the journal's
// failure.
Result<int> fillRaceResults(const RaceSelection &selection, const RaceKey &key, const RaceStore &store,
    RaceStore &scratch, SeasonPages &pages, const BacktestContext &context, QDate lastRun)
{
    Result<int> left;
    Journal::Opened opened = Journal::open(context.folder.file(kJournalFile));
    if (!opened.status.ok()) {
        left.status = opened.status;
        return left;
    }
    Journal &journal = *opened.value;
    scratch.clearForLoad();
    scratch.raceDate = store.raceDate + 1;
    scratch.fieldSize = store.fieldSize;
    SilentProgress progress;
    RecordingSink messages;
    SeasonPages::OfRace racePages(pages);
    PageLoader loader(racePages, progress, messages, scratch.cancelFlag);
    const std::optional<SiteReaders> site = siteReaders(selection, context.settings);
    if (!site)
        return left;
    for (const qint32 n : store.runners()) {
        scratch.horses[n].pageAddress = store.horses[n].pageAddress;
        scratch.horses[n].name = store.horses[n].name;
        if (store.horses[n].pageAddress.isEmpty() || !store.gaps.missing[size_t(n)].isEmpty())
            continue;
        (void)site->history->readHistory(
            loader, store.horses[n].pageAddress, site->base, scratch, n, messages);
    }
    if (const auto filled = journal.fillResultsFromRuns(key.site, scratch); !filled.status.ok()) {
        left.status = filled.status;
        return left;
    }
    // A runner whose page, read after the race, does not show it did not run.
    const auto id = journal.raceId(key);
    const auto pending = journal.pendingResults(key.date, key.date, lastRun);
    if (!id.status.ok() || !pending.status.ok()) {
        left.status = id.status.ok() ? pending.status : id.status;
        return left;
    }
    for (const PendingRunner &runner : pending.value) {
        if (!id.value || runner.raceId != *id.value)
            continue;
        const bool pageRead = store.isRunner(runner.number)
            && store.gaps.missing[size_t(runner.number)].isEmpty()
            && store.horses[runner.number].pageAddress == runner.horseUrl;
        if (!pageRead || key.date.addDays(kGraceDays) > lastRun) {
            left.value++;
            continue;
        }
        RunnerResult notRun;
        notRun.notRun = kNoRunOnThatDate;
        if (Status recorded = journal.recordResult(runner.raceId, runner.number, runner.horseUrl, notRun);
            !recorded.ok()) {
            left.status = recorded;
            return left;
        }
    }
    return left;
}

}  // namespace

QString meetingDayName(const QString &course, int meeting, int day)
{
    return QStringLiteral("%1回%2%3日").arg(meeting).arg(courseNameOfCode(course)).arg(day);
}

int BacktestOutcome::count(BacktestRaceState state) const
{
    int n = 0;
    for (const BacktestRace &race : races)
        n += race.state == state ? 1 : 0;
    return n;
}

QStringList BacktestOutcome::problems() const
{
    QStringList lines;
    for (const BacktestRace &race : races) {
        if (race.state != BacktestRaceState::Incomplete && race.state != BacktestRaceState::NotRead)
            continue;
        QString line = QStringLiteral("%1 %2R: %3")
                           .arg(meetingDayName(race.key.course, race.key.meeting, race.key.day))
                           .arg(race.key.race)
                           .arg(race.reason.isEmpty() ? QStringLiteral("理由不明") : race.reason);
        if (!race.detail.isEmpty())
            line += QStringLiteral("（%1）").arg(race.detail);
        lines.append(line);
    }
    return lines;
}

int BacktestOutcome::exitStatus() const
{
    if (!status.ok())
        return 1;
    const int read = count(BacktestRaceState::Analysed) + count(BacktestRaceState::PassedOver);
    const int incomplete = count(BacktestRaceState::Incomplete);
    if (read + incomplete == 0)
        return 3;
    if (stopped || incomplete > 0 || count(BacktestRaceState::NotRead) > 0)
        return 4;
    return 0;
}

BacktestOutcome runBacktest(
    const BacktestRequest &request, BacktestContext &context, BacktestObserver &observer)
{
    BacktestOutcome outcome;
    QElapsedTimer clock;
    clock.start();
    if (!context.settings.keepJournal) {
        outcome.status
            = Status::failure(QStringLiteral("成績ノートを残さない設定では過去レース検証はできません"));
        return outcome;
    }
    // The range: the year, cut by from/to and by the last race day that has been run.
    const QDate lastRun = lastRunDate(request.now);
    QDate from(request.year, 1, 1);
    QDate until(request.year, 12, 31);
    if (request.from)
        from = std::max(from, *request.from);
    if (request.to)
        until = std::min(until, *request.to);
    until = std::min(until, lastRun);
    QDateTime goodAfter = raceEnd(until);
    if (request.refresh)
        goodAfter = std::max(goodAfter, request.now);

    SeasonPages pages(context.pages.source, context.pages.cache, goodAfter);
    auto store = std::make_unique<RaceStore>();
    auto scratch = std::make_unique<RaceStore>();
    JournalRecorder recorder(context.folder, true);
    Walker walker(request, context, pages, from, until);
    StopWatch watch(context.stop, {store.get(), scratch.get()}, walker);
    walker.start();

    const int courseCount = std::max<int>(1, int(request.courses.isEmpty() ? 10 : request.courses.size()));
    const qint64 span = std::max<qint64>(1, from.daysTo(until) + 1);
    BacktestProgress progress;
    int dayAnalysed = 0;
    int dayCount = 0;
    const auto refresh = [&] {
        progress.pagesFetched = pages.fetched();
        progress.pagesCached = pages.cached();
        progress.elapsedMs = clock.elapsed();
    };
    const auto finishRace = [&](const BacktestRace &race, const RaceStore *shown, int courseIndex) {
        outcome.races.push_back(race);
        progress.races++;
        dayCount++;
        if (race.state != BacktestRaceState::NotRead)
            dayAnalysed++;
        // How far the walk is: the courses done, and the share of the range
        // behind the race in its course.
        const double through
            = (courseIndex + double(from.daysTo(race.key.date) + 1) / double(span)) / courseCount;
        refresh();
        if (through > 0)
            progress.remainingMs = qint64(double(progress.elapsedMs) * (1 - through) / through);
        observer.raceFinished(race, shown, progress);
    };

    SilentProgress silent;
    for (;;) {
        const WalkStep step = walker.next();
        if (step.kind == WalkStep::Kind::End)
            break;
        if (context.stop.load()) {
            outcome.stopped = true;
            break;
        }
        if (step.kind == WalkStep::Kind::DayStart) {
            progress.course
                = step.key.course.isEmpty() ? courseCode(*step.selection.course) : step.key.course;
            progress.meeting = step.selection.meeting->toInt();
            progress.day = step.selection.day->toInt();
            progress.date = step.key.date;
            progress.days++;
            outcome.days++;
            if (!outcome.firstDate || step.key.date < *outcome.firstDate)
                outcome.firstDate = step.key.date;
            if (!outcome.lastDate || step.key.date > *outcome.lastDate)
                outcome.lastDate = step.key.date;
            dayAnalysed = dayCount = 0;
            refresh();
            observer.dayStarting(progress);
            continue;
        }
        if (step.kind == WalkStep::Kind::DayEnd) {
            refresh();
            observer.dayFinished(progress, dayAnalysed, dayCount);
            continue;
        }
        BacktestRace race {step.key, step.state, step.reason, step.detail};
        if (step.state != BacktestRaceState::Analysed) {
            finishRace(race, nullptr, step.courseIndex);
            continue;
        }

        pages.clearRacePages();
        RecordingSink raceMessages;
        LoadContext load {*store, context.settings, context.folder, pages, silent, raceMessages};
        load.journal = &recorder;
        const LoadResult loaded = runLoad(step.selection, load);
        if (loaded.stopMessage == kUserCancelMessage || context.stop.load()) {
            outcome.stopped = true;
            break;
        }
        if (loaded.journalFailed) {
            const QStringList said = raceMessages.messages();
            outcome.status = Status::failure(
                said.isEmpty() ? QStringLiteral("成績ノートに記録できません") : said.last());
            context.messages.detailedMessage(
                outcome.status.message(), raceMessages.details().value(said.size() - 1));
            break;
        }
        if (!loaded.analysed && loaded.stopMessage == kTrackDbUnreadableMessage) {
            // No race can be analysed without it.
            outcome.status = Status::failure(loaded.stopMessage + QStringLiteral(": ") + loaded.stopDetail);
            context.messages.detailedMessage(loaded.stopMessage, loaded.stopDetail);
            break;
        }
        if (!loaded.analysed) {
            const QStringList said = raceMessages.messages();
            race.state = BacktestRaceState::NotRead;
            race.reason = said.isEmpty() ? loaded.stopMessage : said.join(QStringLiteral(" / "));
            race.detail = loaded.stopDetail;
            finishRace(race, nullptr, step.courseIndex);
            continue;
        }
        race.key.date = dateOfSerial(store->raceDate);
        const Result<int> left
            = fillRaceResults(step.selection, race.key, *store, *scratch, pages, context, lastRun);
        if (!left.status.ok()) {
            outcome.status = left.status;
            context.messages.message(left.status.message());
            break;
        }
        QStringList missing;
        if (const QString gaps = store->gaps.summary(); !gaps.isEmpty())
            missing.append(gaps);
        if (left.value > 0)
            missing.append(QStringLiteral("結果のない出走馬 %1 頭").arg(left.value));
        if (!missing.isEmpty()) {
            race.state = BacktestRaceState::Incomplete;
            race.reason = missing.join(QStringLiteral(" / "));
        }
        finishRace(race, store.get(), step.courseIndex);
    }
    walker.stop();
    if (outcome.stopped || !outcome.status.ok())
        context.pages.source.cancelAll();
    pages.clearRacePages();
    refresh();
    outcome.pagesFetched = progress.pagesFetched;
    outcome.pagesCached = progress.pagesCached;
    return outcome;
}

}  // namespace marunoki
