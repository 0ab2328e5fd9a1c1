#include "driver/day_driver.h"

#include "driver/journal_recorder.h"

#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/load_driver.h"
#include "web/page_loader.h"
#include "web/page_source.h"
#include "web/reader_page.h"

#include <QHash>

#include <memory>
#include <mutex>
#include <thread>

namespace marunoki {

namespace {

class SilentProgress : public ProgressSink {
public:
    void status(const QString &) override { }
};

// The day's face of the page source: pages the look-ahead already fetched are
// handed out once, everything else goes to the source.
class AheadPages : public PageSource {
public:
    explicit AheadPages(PageSource &inner)
        : inner_(inner)
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
        return inner_.fetch(url, cancelFlag);
    }
    void prefetch(const QStringList &urls) override { inner_.prefetch(urls); }
    void cancelAll() override { inner_.cancelAll(); }
    void discard(const QString &url) override { inner_.discard(url); }

    // The look-ahead's face: fetches through the source and keeps what it got
    // for the race's own load. It never drops what the running race asked for.
    class Keeper : public PageSource {
    public:
        explicit Keeper(AheadPages &owner)
            : owner_(owner)
        { }
        FetchedPage fetch(const QString &url, const std::atomic<qint16> &cancelFlag) override
        {
            FetchedPage page = owner_.inner_.fetch(url, cancelFlag);
            if (page.outcome != FetchedPage::Outcome::Cancelled) {
                std::lock_guard lock(owner_.mutex_);
                owner_.kept_.insert(url, page);
            }
            return page;
        }
        void prefetch(const QStringList &urls) override { owner_.inner_.prefetch(urls); }
        void cancelAll() override { }
        void discard(const QString &url) override { owner_.inner_.discard(url); }

    private:
        AheadPages &owner_;
    };

    // Forgets what was kept (at the end of the day).
    void clear()
    {
        std::lock_guard lock(mutex_);
        kept_.clear();
    }

private:
    PageSource &inner_;
    std::mutex mutex_;
    QHash<QString, FetchedPage> kept_;
};

// Reads the next race's card on a thread of its own and asks for its runners'
// pages. Started at most once per race; join() waits for it to end.
class LookAhead {
public:
    LookAhead(AheadPages &pages, const Settings &settings)
        : keeper_(pages)
        , settings_(settings)
        , scratch_(std::make_unique<RaceStore>())
    { }
    ~LookAhead() { stop(); }
    LookAhead(const LookAhead &) = delete;
    LookAhead &operator=(const LookAhead &) = delete;

    void start(const RaceSelection &race)
    {
        join();
        scratch_->clearForLoad();
        thread_ = std::thread([this, race] { run(race); });
    }
    void join()
    {
        if (thread_.joinable())
            thread_.join();
    }
    void stop()
    {
        scratch_->cancelFlag.store(-1);
        join();
    }

private:
    void run(const RaceSelection &race)
    {
        SilentProgress progress;
        RecordingSink messages;  // the race's own load shows them
        RaceStore &store = *scratch_;
        PageLoader loader(keeper_, progress, messages, store.cancelFlag);
        const std::optional<SiteReaders> site = siteReaders(race, settings_);
        if (!site
            || site->card->readCard(loader, site->cardUrl, site->base, store, messages) != PageStatus::Read)
            return;
        QStringList pages;
        for (const qint32 n : store.runners()) {
            if (!store.horses[n].pageAddress.isEmpty())
                pages.append(store.horses[n].pageAddress);
        }
        keeper_.prefetch(pages);
    }

    AheadPages::Keeper keeper_;
    const Settings &settings_;
    std::unique_ptr<RaceStore> scratch_;
    std::thread thread_;
};

}  // namespace

RaceSelection DaySelection::race(int number) const
{
    return {year, course, meeting, day, QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')), site};
}

int DayResult::analysedCount() const
{
    int count = 0;
    for (const DayRace &r : races)
        count += r.analysed ? 1 : 0;
    return count;
}

int DayResult::incompleteCount() const
{
    int count = 0;
    for (const DayRace &r : races)
        count += r.analysed && !r.missing.isEmpty() ? 1 : 0;
    return count;
}

QStringList DayResult::failures() const
{
    QStringList lines;
    for (const DayRace &r : races) {
        if (!r.analysed)
            lines.append(QStringLiteral("%1R: %2").arg(r.race).arg(
                r.reason.isEmpty() ? QStringLiteral("理由不明") : r.reason));
    }
    return lines;
}

DayResult runDay(const DaySelection &day, DayContext &context, DayObserver &observer)
{
    DayResult result;
    const int first = qBound(1, day.firstRace, kMaxRacesOfDay);
    const int last = qBound(first, day.lastRace, kMaxRacesOfDay);
    const int count = last - first + 1;
    AheadPages pages(context.source);
    LookAhead lookAhead(pages, context.settings);
    RaceStore &store = context.store;
    JournalRecorder own(context.folder, context.settings.keepJournal);
    JournalRecorder &journal = context.journal ? *context.journal : own;

    for (int race = first; race <= last; ++race) {
        if (context.stop.load() || store.cancelFlag.load() == -1) {
            result.stopped = true;
            break;
        }
        // The look-ahead of this race must be done before its load fetches.
        lookAhead.join();
        const int k = race - first + 1;
        observer.raceStarting(race, k, count);
        RecordingSink raceMessages;
        LoadContext load {store, context.settings, context.folder, pages, context.progress, raceMessages};
        load.journal = &journal;
        if (race < last)
            load.pagesAsked = [&lookAhead, &day, race] { lookAhead.start(day.race(race + 1)); };
        const LoadResult loaded = runLoad(day.race(race), load);
        result.journalFailed = result.journalFailed || loaded.journalFailed;

        DayRace outcome {race, loaded.analysed, {}, {}, {}};
        const QStringList messages = raceMessages.messages();
        if (loaded.analysed) {
            const QStringList details = raceMessages.details();
            for (qsizetype i = 0; i < messages.size(); ++i)
                context.messages.detailedMessage(messages[i], details.value(i));
            outcome.missing = store.gaps.summary();
        } else {
            outcome.reason = messages.isEmpty() ? loaded.stopMessage : messages.join(QStringLiteral(" / "));
            outcome.detail = loaded.stopDetail;
        }
        // A stop during the load ends it with the cancel message; one during
        // the analysis leaves the flag at -1 for the check above.
        const bool stopped = loaded.stopMessage == kUserCancelMessage;
        result.races.push_back(outcome);
        observer.raceFinished(outcome, store, k, count);
        if (stopped) {
            result.stopped = true;
            break;
        }
    }
    lookAhead.stop();
    pages.clear();
    if (result.stopped)
        context.source.cancelAll();
    return result;
}

}  // namespace marunoki
