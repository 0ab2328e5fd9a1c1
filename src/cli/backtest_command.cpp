// backtest: a past season replayed into the journal, then its tally.

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt_stop.h"
#include "cli/journal_commands.h"
#include "cli/load_command.h"
#include "cli/tally_options.h"

#include "app/output_target.h"
#include "app/race_store.h"
#include "driver/backtest.h"
#include "driver/journal_recorder.h"
#include "journal/tally_request.h"
#include "output/day_report.h"
#include "output/race_report.h"

#include <QDir>

#include <chrono>
#include <thread>

namespace marunoki::cli {

namespace {

OptionSpec valued(
    const char *name, const char *valueName, const QString &help, const QString &defaultText = {})
{
    return {QString::fromLatin1(name), QString::fromLatin1(valueName), help, defaultText, false};
}

QString minutesText(qint64 ms)
{
    const qint64 s = ms / 1000;
    return s >= 60 ? QStringLiteral("%1分%2秒").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'))
                   : QStringLiteral("%1秒").arg(s);
}

// The day's name in the progress: "2025-05-03 1回東京3日".
QString dayHeading(const BacktestProgress &p)
{
    return p.date.toString(Qt::ISODate) + u' ' + meetingDayName(p.course, p.meeting, p.day);
}

// The progress: on a terminal one line rewritten in place, otherwise one line
// per day; with --report each day's races written as day --report does.
class BacktestLines : public BacktestObserver {
public:
    BacktestLines(Console &console, bool interactive, const QString &reportDir, const Settings &settings,
        const AppFolder &folder)
        : console_(console)
        , interactive_(interactive)
        , reportDir_(reportDir)
        , settings_(settings)
        , folder_(folder)
    { }

    void dayStarting(const BacktestProgress &progress) override
    {
        summaries_.clear();
        fetchedBefore_ = progress.pagesFetched;
        cachedBefore_ = progress.pagesCached;
        show(progress);
    }

    void raceFinished(
        const BacktestRace &race, const RaceStore *store, const BacktestProgress &progress) override
    {
        if (!reportDir_.isEmpty() && store)
            writeReport(race, *store);
        show(progress);
    }

    void dayFinished(const BacktestProgress &progress, int analysed, int count) override
    {
        if (!reportDir_.isEmpty() && !summaries_.empty()) {
            const QString folder = dayFolder(progress);
            const QString heading = dayHeading(progress);
            for (const Status &status :
                {writeDayIndex(folder, heading, summaries_), linkRacePages(folder, heading, summaries_)}) {
                if (!status.ok()) {
                    complain(status.message());
                    written_ = false;
                }
            }
        }
        if (interactive_)
            return;
        console_.line(QStringLiteral("[%1] %2/%3 レース 解析済み（頁 %4、キャッシュ %5）")
                          .arg(dayHeading(progress))
                          .arg(analysed)
                          .arg(count)
                          .arg(progress.pagesFetched - fetchedBefore_)
                          .arg(progress.pagesCached - cachedBefore_));
    }

    bool written() const { return written_; }

private:
    void show(const BacktestProgress &p)
    {
        if (!interactive_)
            return;
        QString line = QStringLiteral("%1  %2日目 %3レース 頁 %4 キャッシュ %5")
                           .arg(dayHeading(p))
                           .arg(p.days)
                           .arg(p.races)
                           .arg(p.pagesFetched)
                           .arg(p.pagesCached);
        if (p.remainingMs)
            line += QStringLiteral(" 残り約%1").arg(minutesText(*p.remainingMs));
        console_.status(line);
    }

    QString dayFolder(const BacktestProgress &p) const
    {
        return QDir(reportDir_)
            .filePath(QStringLiteral("%1-%2-%3-%4")
                          .arg(p.date.toString(QStringLiteral("yyyyMMdd")), p.course)
                          .arg(p.meeting, 2, 10, QLatin1Char('0'))
                          .arg(p.day, 2, 10, QLatin1Char('0')));
    }

    void writeReport(const BacktestRace &race, const RaceStore &store)
    {
        BacktestProgress where;
        where.date = race.key.date;
        where.course = race.key.course;
        where.meeting = race.key.meeting;
        where.day = race.key.day;
        RaceSummary summary = summarizeRace(store, race.key.race);
        const QString name = raceReportFolder(race.key.race);
        const Status report
            = writeRaceReport(store, settings_, QDir(dayFolder(where)).filePath(name), console_);
        if (!report.ok()) {
            complain(report.message());
            written_ = false;
        } else {
            summary.link = name + u'/' + kReportIndex;
        }
        summaries_.push_back(summary);
    }

    Console &console_;
    bool interactive_;
    QString reportDir_;
    const Settings &settings_;
    const AppFolder &folder_;
    std::vector<RaceSummary> summaries_;
    bool written_ = true;
    int fetchedBefore_ = 0;  // the counts when the day began: the day's line shows its own
    int cachedBefore_ = 0;
};

// "A-B" or "A" of whole numbers within [low, high]; false when it is not one.
bool readRange(const QString &text, int low, int high, int &first, int &last)
{
    const QStringList parts = text.split(u'-');
    if (parts.size() > 2)
        return false;
    bool ok1 = false, ok2 = false;
    first = parts[0].toInt(&ok1);
    last = parts.size() == 2 ? parts[1].toInt(&ok2) : first;
    if (parts.size() == 1)
        ok2 = true;
    return ok1 && ok2 && low <= first && first <= last && last <= high;
}

int runBacktestLine(const CommandLine &line)
{
    const auto usage = [&](const QString &text) { return usageError(line.command, text); };
    BacktestRequest request;
    const QString site = line.value(QStringLiteral("site"));
    if (site != QStringLiteral("1") && site != QStringLiteral("2"))
        return usage(QStringLiteral("--site は 1 か 2 です"));
    request.site = site == QStringLiteral("1") ? ReadingSite::One : ReadingSite::Two;
    bool ok = false;
    request.year = line.value(QStringLiteral("year")).toInt(&ok);
    if (!ok || request.year < 1990 || request.year > 2100)
        return usage(QStringLiteral("--year は4桁の年です: %1").arg(line.value(QStringLiteral("year"))));
    if (line.has(QStringLiteral("courses"))) {
        for (const QString &given : line.value(QStringLiteral("courses")).split(u',')) {
            const QString text = given.trimmed();
            QString code = courseCode(text);
            if (code == QStringLiteral("00") && text.size() == 2 && courseNameOfCode(text) != text)
                code = text;
            if (code == QStringLiteral("00"))
                return usage(QStringLiteral("--courses に場でないものがあります: %1").arg(text));
            if (!request.courses.contains(code))
                request.courses.append(code);
        }
    }
    if (line.has(QStringLiteral("meetings"))
        && !readRange(line.value(QStringLiteral("meetings")), 1, kMaxMeetingsOfYear, request.firstMeeting,
            request.lastMeeting))
        return usage(QStringLiteral("--meetings は 1-%1 の範囲（A-B）です: %2")
                         .arg(kMaxMeetingsOfYear)
                         .arg(line.value(QStringLiteral("meetings"))));
    QString error;
    if (!readDateOption(QStringLiteral("--from"), line.value(QStringLiteral("from")), request.from, error)
        || !readDateOption(QStringLiteral("--to"), line.value(QStringLiteral("to")), request.to, error))
        return usage(error);
    if (request.from && request.to && *request.from > *request.to)
        return usage(QStringLiteral("--from が --to より後です"));
    request.refresh = line.has(QStringLiteral("refresh"));

    LoadOptions load;
    load.site = site.toInt();
    load.base1 = line.value(QStringLiteral("base1"));
    load.base2 = line.value(QStringLiteral("base2"));
    load.offlineDir = line.value(QStringLiteral("offline"));
    load.refresh = request.refresh;
    if (line.has(QStringLiteral("jobs"))) {
        load.jobs = line.value(QStringLiteral("jobs")).toInt(&ok);
        if (!ok || load.jobs < 1 || load.jobs > 64)
            return usage(QStringLiteral("--jobs は 1〜64 です"));
    }
    const QString reportDir = line.value(QStringLiteral("report"));
    const QString htmlDir = line.value(QStringLiteral("html"));

    int status = kExitAnalysed;
    const std::optional<AppFolder> chosen = appFolderFor(line, status);
    if (!chosen)
        return status;
    const AppFolder &folder = *chosen;
    const bool interactive = Console::isTerminal(stderr);
    Console console(stderr, interactive);
    const std::optional<Settings> read = settingsFor(load, folder, console);
    if (!read)
        return kExitUsage;
    const Settings &settings = *read;
    if (!settings.keepJournal)
        return usage(
            QStringLiteral("設定ファイルが [journal] keep=0 のため、過去レース検証の結果を記録できません"));
    if (const auto failed = checkSources(load, request.site, settings, folder))
        return *failed;
    for (const QString &dir : {reportDir, htmlDir}) {
        if (const Status allowed = checkOutputTarget(folder, dir); !allowed.ok()) {
            complain(allowed.message());
            return kExitUsage;
        }
    }
    if (!reportDir.isEmpty() && !QDir().mkpath(reportDir)) {
        complain(QStringLiteral("フォルダ %1 を作れません").arg(reportDir));
        return kExitFailed;
    }

    PageSources sources = makeSources(load, folder, settings, console);
    std::atomic<bool> stop {false};
    std::atomic<qint16> cancel {0};
    BacktestContext context {settings, folder,
        {*sources.source, load.offlineDir.isEmpty() ? sources.cached.cache.get() : nullptr}, console, stop};
    BacktestLines lines(console, interactive, reportDir, settings, folder);
    BacktestOutcome outcome;
    {
        const InterruptStop stopOnCtrlC(cancel);
        // Ctrl-C and SIGTERM set the loader's flag; the backtest watches its own.
        std::atomic<bool> done {false};
        std::thread relay([&] {
            while (!done.load()) {
                if (cancel.load() == -1)
                    stop.store(true);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        outcome = runBacktest(request, context, lines);
        done.store(true);
        relay.join();
    }
    console.finish();

    const int analysed = outcome.count(BacktestRaceState::Analysed);
    const int incomplete = outcome.count(BacktestRaceState::Incomplete);
    const int notRead = outcome.count(BacktestRaceState::NotRead);
    const int passed = outcome.count(BacktestRaceState::PassedOver);
    printLine(
        QStringLiteral(
            "計 %1日 %2レース: 解析 %3、欠けあり %4、読めず %5、記録済みで省略 %6（頁 %7、キャッシュ %8）%9")
            .arg(outcome.days)
            .arg(outcome.races.size())
            .arg(analysed)
            .arg(incomplete)
            .arg(notRead)
            .arg(passed)
            .arg(outcome.pagesFetched)
            .arg(outcome.pagesCached)
            .arg(outcome.stopped ? QStringLiteral("：中止しました（次回は続きから読みます）") : QString()));
    const QStringList problems = outcome.problems();
    if (!problems.isEmpty()) {
        printLine(QStringLiteral("欠けのあるレース・読めなかったレース:"));
        for (const QString &problem : problems)
            printLine(QStringLiteral("  ") + problem);
    }
    std::fflush(stdout);
    // The cause has been said where it ended the backtest.
    if (!outcome.status.ok())
        return kExitFailed;

    bool written = lines.written();
    if (outcome.firstDate && !outcome.stopped) {
        JournalOptions tally;
        tally.from = outcome.firstDate->toString(Qt::ISODate);
        tally.to = outcome.lastDate->toString(Qt::ISODate);
        tally.site = site;
        if (request.courses.size() == 1)
            tally.course = request.courses.front();
        tally.htmlDir = htmlDir;
        printLine(QString());
        written = runTally(folder, tally) == kExitAnalysed && written;
    }
    const int exit = outcome.exitStatus();
    if (exit == 0 && !written)
        return kExitFailed;
    return exit;
}

}  // namespace

CommandSpec backtestCommand()
{
    return {QStringLiteral("backtest"),
        QStringLiteral("過去の開催を1レースずつ当日の条件で解析して成績ジャーナルに記録し、集計する"),
        QStringLiteral("場ごとに開催回・日を1回・1日から順に出馬表で確かめて進み、各レースを load "
                       "と同じ解析にかけて記録し、"
                       "読んだ馬のページからそのレースの結果を埋めます。\n"
                       "成績ジャーナルに結果までそろったレースは読み直しません（--refresh で読み直します）。"
                       "中止しても終わったレースは残り、同じコマンドで続きから読みます。\n"
                       "最後に合計と読めなかったレースの一覧、その範囲の集計（tally の表）を示します。"
                       "終了コードは 0 すべて読めた、4 欠けのある・読めなかったレースがある、3 "
                       "1レースも解析できなかった、"
                       "2 使い方の誤りです。"),
        {}, 0, true,
        {{QStringLiteral("site"), QStringLiteral("1|2"), QStringLiteral("読込みサイト"), {}, true},
            {QStringLiteral("year"), QStringLiteral("YYYY"), QStringLiteral("開催年"), {}, true},
            valued("courses", "COURSES", QStringLiteral("場の名前かコードをカンマ区切りで（東京,05）"),
                QStringLiteral("全10場")),
            valued("meetings", "A-B", QStringLiteral("開催回の範囲"), QStringLiteral("1-10")),
            valued("from", "YYYY-MM-DD", QStringLiteral("この日以降の開催日")),
            valued("to", "YYYY-MM-DD", QStringLiteral("この日までの開催日"),
                QStringLiteral("結果の出た最後の日")),
            valued("jobs", "N", QStringLiteral("同時に読み込むページ数の上限"), QStringLiteral("4")),
            valued("base1", "URL", QStringLiteral("サイト1のアドレス"),
                QStringLiteral("設定ファイルの [web] site1")),
            valued("base2", "URL", QStringLiteral("サイト2のアドレス"),
                QStringLiteral("設定ファイルの [web] site2")),
            valued(
                "offline", "DIR", QStringLiteral("ネットワークの代わりにこのフォルダの保存ページから読む")),
            {QStringLiteral("refresh"), {}, QStringLiteral("記録済みのレースも新しいページで読み直す"), {},
                false},
            valued(
                "report", "DIR", QStringLiteral("開催日ごとのフォルダに day --report と同じレポートを書く")),
            valued("html", "DIR",
                QStringLiteral("範囲の集計を HTML（index.html と SVG の棒グラフ）で書き出す"))},
        &runBacktestLine};
}

}  // namespace marunoki::cli
