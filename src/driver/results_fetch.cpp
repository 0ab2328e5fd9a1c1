#include "driver/results_fetch.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "web/page_cache.h"
#include "web/page_loader.h"
#include "web/page_source.h"
#include "web/site1_horse_reader.h"
#include "web/site2_horse_reader.h"

#include <QTimeZone>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>

namespace marunoki {

namespace {

const QString kNoRunOnThatDate = QStringLiteral("出走記録なし");
constexpr int kJstOffsetSeconds = 9 * 3600;

double serialOf(QDate date)
{
    return serialFromYmd(date.year(), date.month(), date.day()).value_or(0);
}

QDate dateOfSerial(double serial)
{
    const Ymd ymd = ymdFromSerial(serial);
    return QDate(ymd.year, ymd.month, ymd.day);
}

// The page's address on the site as it is now: under the settings' base
// address, or the one the race was recorded with when the settings name none.
QString currentAddress(const PendingRunner &runner, const Settings &settings)
{
    return horseAddress(
        runner.horseUrl, runner.siteBase, runner.key.site == 1 ? settings.site1Base : settings.site2Base);
}

// One horse's page and the pending runners it answers.
struct HorsePage {
    QString address;
    int site = 0;
    std::vector<const PendingRunner *> runners;
};

// Whether the page shows a run after date (the horse has run since).
bool runsAfter(const RaceStore &page, QDate date)
{
    for (int run = 1; run <= kMaxRuns; ++run) {
        if (page.horses[1].runs[run].date > 0 && dateOfSerial(page.horses[1].runs[run].date) > date)
            return true;
    }
    return false;
}

// The readers' status line names the runner of a one-runner scratch store
// ("01/01 ..."): say which race of how many, and which page of how many, is
// being read instead.
class PageCountProgress : public ProgressSink {
public:
    PageCountProgress(ProgressSink &inner, int races)
        : inner_(inner)
        , races_(races)
    { }
    void status(const QString &text) override
    {
        // The reader's line is "01/01 <name>成績読込み中・・・"; keep what follows the count.
        inner_.status(QStringLiteral("%1 / %2 レース　%3/%4 ").arg(race_).arg(races_).arg(page_).arg(count_)
            + text.mid(text.indexOf(u' ') + 1));
    }
    void runnerProgress(int current, int count) override
    {
        page_ = current;
        count_ = count;
        inner_.runnerProgress(current, count);
    }
    // The page about to be read answers race `race` (1-based) first.
    void setRace(int race) { race_ = race; }

private:
    ProgressSink &inner_;
    int races_ = 0;
    int race_ = 0;
    int page_ = 0;
    int count_ = 0;
};

}  // namespace

QDate lastRunDate(const QDateTime &now)
{
    const QDateTime jst = now.toUTC().addSecs(kJstOffsetSeconds);
    const QDate today = jst.date();
    return jst.time().hour() >= kRaceEndHourJst ? today : today.addDays(-1);
}

QDateTime raceEnd(QDate date)
{
    return QDateTime(date, QTime(kRaceEndHourJst, 0), QTimeZone::utc()).addSecs(-kJstOffsetSeconds);
}

int ResultsOutcome::found() const
{
    int n = 0;
    for (const ResultsRace &r : races)
        n += r.found;
    return n;
}

int ResultsOutcome::notRun() const
{
    int n = 0;
    for (const ResultsRace &r : races)
        n += r.notRun;
    return n;
}

int ResultsOutcome::pending() const
{
    int n = 0;
    for (const ResultsRace &r : races)
        n += r.pending;
    return n;
}

ResultsOutcome fetchResults(ResultsContext &context, std::optional<QDate> since, std::optional<QDate> until)
{
    ResultsOutcome outcome;
    const QDate lastRun = lastRunDate(context.now);
    const auto pending = context.journal.pendingResults(since, until, lastRun);
    if (!pending.status.ok()) {
        outcome.status = pending.status;
        return outcome;
    }

    std::map<qint64, size_t> raceIndex;
    std::vector<HorsePage> pages;
    std::map<QString, size_t> pageIndex;
    for (const PendingRunner &runner : pending.value) {
        auto [race, added] = raceIndex.try_emplace(runner.raceId, outcome.races.size());
        if (added)
            outcome.races.push_back({runner.key, runner.title});
        outcome.races[race->second].pending++;
        const QString address = currentAddress(runner, context.settings);
        auto [page, fresh] = pageIndex.try_emplace(address, pages.size());
        if (fresh)
            pages.push_back({address, runner.key.site, {}});
        pages[page->second].runners.push_back(&runner);
    }

    QStringList addresses;
    for (const HorsePage &page : pages) {
        addresses.append(page.address);
        if (!context.cache)
            continue;
        // A copy stored before the latest of its races ended cannot hold the result.
        QDate latest;
        for (const PendingRunner *runner : page.runners)
            latest = std::max(latest, runner->key.date);
        const auto copy = context.cache->lookup(page.address, std::numeric_limits<qint64>::max());
        if (copy && copy->storedAt < raceEnd(latest))
            context.cache->remove(page.address);
    }

    PageCountProgress progress(context.progress, int(outcome.races.size()));
    PageLoader loader(context.source, progress, context.messages, context.cancelFlag);
    loader.prefetch(addresses);
    Site1HorseReader site1;
    Site2HorseReader site2;
    auto store = std::make_unique<RaceStore>();
    const double today = serialOf(context.now.toUTC().addSecs(kJstOffsetSeconds).date());
    int done = 0;
    for (const HorsePage &page : pages) {
        // The pages come in the order of their first race, so the race counts up.
        progress.setRace(int(raceIndex[page.runners.front()->raceId]) + 1);
        progress.runnerProgress(++done, int(pages.size()));
        // The readers take the runs of the days before store.raceDate: up to
        // today, but never so late that the oldest race falls out of the window.
        QDate oldest = page.runners.front()->key.date;
        for (const PendingRunner *runner : page.runners)
            oldest = std::min(oldest, runner->key.date);
        store->clearForLoad();
        store->fieldSize = 1;
        store->horses[1].name = page.runners.front()->name;
        store->raceDate = std::min(today + 1, serialOf(oldest) + kHistoryDays - 1);
        HistoryReader &reader = page.site == 1 ? static_cast<HistoryReader &>(site1) : site2;
        const QString &base = page.site == 1 ? context.settings.site1Base : context.settings.site2Base;
        const PageStatus status = reader.readHistory(loader, page.address, base, *store, 1, context.messages);
        if (status == PageStatus::Cancelled) {
            context.source.cancelAll();
            outcome.stopped = true;
            return outcome;
        }
        if (status != PageStatus::Read) {
            const QString detail = loader.failureDetail();
            outcome.failedPages.append(detail.isEmpty() ? page.address : detail);
            continue;
        }
        for (const PendingRunner *runner : page.runners) {
            const RunLookup lookup = findResultInRuns(*store, 1, runner->key);
            if (!lookup.refused.isEmpty()) {
                // Not a result to keep: the runner stays pending, the page is listed.
                outcome.failedPages.append(QStringLiteral("%1 (%2)").arg(page.address, lookup.refused));
                continue;
            }
            std::optional<RunnerResult> result = lookup.result;
            if (!result) {
                const bool posted
                    = runsAfter(*store, runner->key.date) || runner->key.date.addDays(kGraceDays) <= lastRun;
                if (!posted)
                    continue;
                result = RunnerResult {};
                result->kind = FinishKind::Scratched;
                result->notRun = kNoRunOnThatDate;
            }
            const Status recorded
                = context.journal.recordResult(runner->raceId, runner->number, runner->horseUrl, *result);
            if (!recorded.ok()) {
                context.source.cancelAll();
                outcome.status = recorded;
                return outcome;
            }
            ResultsRace &race = outcome.races[raceIndex[runner->raceId]];
            race.pending--;
            (ran(result->kind) ? race.found : race.notRun)++;
        }
    }
    return outcome;
}

QString resultsTotalLine(const ResultsOutcome &outcome)
{
    return QStringLiteral("計 %1 レース: 着順 %2 頭、出走なし %3 頭、未取得 %4 頭")
        .arg(outcome.races.size())
        .arg(outcome.found())
        .arg(outcome.notRun())
        .arg(outcome.pending());
}

ResultsReport resultsReport(const ResultsOutcome &outcome)
{
    ResultsReport report;
    if (!outcome.status.ok()) {
        report.text = outcome.status.message();
        return report;
    }
    const int failed = int(outcome.failedPages.size());
    report.success = !outcome.stopped && failed == 0;
    if (report.success && outcome.races.empty()) {
        report.text = QStringLiteral("結果待ちのレースはありません");
        return report;
    }
    QStringList lines;
    if (outcome.stopped)
        lines << QStringLiteral(
            "成績取得を中止しました（それまでの結果は記録しました。残りは次回取得します）");
    if (failed > 0)
        lines << QStringLiteral("%1 ページが取得できませんでした（その馬の結果は次回また取りに行きます）")
                     .arg(failed);
    if (report.success)
        lines << QStringLiteral("成績を取得しました");
    lines << resultsTotalLine(outcome);
    if (failed > 0) {
        lines << QString() << outcome.failedPages.mid(0, kFailedPagesShown);
        if (failed > kFailedPagesShown)
            lines << QStringLiteral("ほか %1 ページ").arg(failed - kFailedPagesShown);
        report.detail = outcome.failedPages.join(u'\n');
    }
    report.text = lines.join(u'\n');
    return report;
}

}  // namespace marunoki
