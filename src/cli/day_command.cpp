// day: every race of one meeting day, with the outputs of each race and the
// day's report.

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt_stop.h"
#include "cli/load_command.h"

#include "app/race_store.h"
#include "driver/day_driver.h"
#include "driver/journal_recorder.h"
#include "output/csv_export.h"
#include "output/day_report.h"
#include "output/race_json.h"
#include "output/race_report.h"
#include "output/tally_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <utility>

namespace marunoki::cli {

namespace {

// The loader's page lines of a whole day would bury the race lines in a log;
// they are shown only on a terminal, where each replaces the one before.
class PageLinesOnTerminal : public ProgressSink {
public:
    PageLinesOnTerminal(ProgressSink &console, bool interactive)
        : console_(console)
        , interactive_(interactive)
    { }
    void status(const QString &text) override
    {
        if (interactive_)
            console_.status(text);
    }

private:
    ProgressSink &console_;
    bool interactive_;
};

QString seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 1) + QStringLiteral("秒");
}

// Writes each race's outputs as it finishes and prints its line.
class DayOutputs : public DayObserver {
public:
    DayOutputs(const LoadOptions &load, const DaySelection &day, const AppFolder &folder,
        const Settings &settings, Console &console)
        : load_(load)
        , day_(day)
        , folder_(folder)
        , settings_(settings)
        , console_(console)
    { }

    void raceStarting(int race, int k, int count) override
    {
        (void)race, (void)k, (void)count;
        raceTimer_.start();
    }

    void raceFinished(const DayRace &outcome, RaceStore &store, int k, int count) override
    {
        const QString head
            = QStringLiteral("[%1/%2] %3R ").arg(k).arg(count).arg(outcome.race, 2, 10, QLatin1Char('0'));
        RaceSummary summary;
        if (outcome.analysed) {
            const bool report = !load_.reportDir.isEmpty();
            const RaceSelection race = day_.race(outcome.race);
            const MarksByNumber marks
                = report ? recordedMarks(folder_, settings_.keepJournal, race, store) : MarksByNumber {};
            const ResultsByNumber results
                = report ? recordedResults(folder_, settings_.keepJournal, race, store) : ResultsByNumber {};
            summary = summarizeRace(store, outcome.race, marks, results);
            const QString gaps
                = outcome.missing.isEmpty() ? QString() : QStringLiteral(" 欠けあり: ") + outcome.missing;
            console_.finish();
            console_.status(head
                + QStringLiteral("%1 %2頭 解析済み（%3）%4")
                      .arg(summary.title, QString::number(summary.runners), seconds(raceTimer_.elapsed()),
                          gaps));
            writeOutputs(outcome.race, store, marks, results, summary);
        } else {
            summary.race = outcome.race;
            summary.reason = outcome.reason;
            console_.line(head + QStringLiteral("読み込めません: ") + outcome.reason, outcome.detail);
        }
        summaries_.push_back(summary);
    }

    bool written() const { return written_; }
    const std::vector<RaceSummary> &summaries() const { return summaries_; }

private:
    void writeOutputs(int race, RaceStore &store, const MarksByNumber &marks, const ResultsByNumber &results,
        RaceSummary &summary)
    {
        const QString name = raceReportFolder(race);
        if (!load_.jsonDir.isEmpty())
            written_ = writeOutput(
                           QDir(load_.jsonDir).filePath(name + QStringLiteral(".json")), raceStoreJson(store))
                && written_;
        if (load_.csv)
            written_ = writeCsv(store, folder_, console_, systemFileSystem(), race) && written_;
        if (!load_.reportDir.isEmpty()) {
            // The race's own report in its folder; the day's page links to it.
            const Status report = writeRaceReport(
                store, settings_, QDir(load_.reportDir).filePath(name), console_, marks, results);
            if (!report.ok()) {
                complain(report.message());
                written_ = false;
                return;
            }
            summary.link = name + u'/' + kReportIndex;
        }
    }

    const LoadOptions &load_;
    const DaySelection &day_;
    const AppFolder &folder_;
    const Settings &settings_;
    Console &console_;
    QElapsedTimer raceTimer_;
    std::vector<RaceSummary> summaries_;
    bool written_ = true;
};

// The races that could not be read, and those analysed with something
// missing, listed again after the total line: in a long log the race lines
// have scrolled away.
void listProblems(const DayResult &result, Console &console)
{
    const auto raceName = [](int race) { return QStringLiteral("%1R").arg(race, 2, 10, QLatin1Char('0')); };
    bool headed = false;
    for (const DayRace &r : result.races) {
        if (r.analysed)
            continue;
        if (!std::exchange(headed, true))
            console.line(QStringLiteral("読み込めなかったレース:"));
        console.line(QStringLiteral("  %1 %2").arg(raceName(r.race), r.reason), r.detail);
    }
    headed = false;
    for (const DayRace &r : result.races) {
        if (!r.analysed || r.missing.isEmpty())
            continue;
        if (!std::exchange(headed, true))
            console.line(QStringLiteral("欠けのあるレース:"));
        console.line(QStringLiteral("  %1 %2").arg(raceName(r.race), r.missing));
    }
}

int runDayCommand(const CommandLine &line)
{
    QString error;
    const std::optional<LoadOptions> options = readRaceOptions(line, error);
    if (!options)
        return usageError(line.command, error);
    const LoadOptions &load = *options;
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
    DaySelection day {load.year, load.course, load.meeting, load.day, siteOf(load, settings), load.firstRace,
        load.lastRace};
    if (day.site == ReadingSite::None) {
        complain(QStringLiteral("読込みサイトが決まっていません: --site 1 か 2 を指定してください"));
        return kExitUsage;
    }
    if (const auto failed = checkSources(load, day.site, settings, folder))
        return *failed;
    for (const QString &dir : {load.jsonDir, load.reportDir}) {
        if (!dir.isEmpty() && !QDir().mkpath(dir)) {
            complain(QStringLiteral("フォルダ %1 を作れません").arg(dir));
            return kExitFailed;
        }
    }

    const PageSources sources = makeSources(load, folder, settings, console);
    RaceStore store;
    const std::atomic<bool> notStopped {false};
    PageLinesOnTerminal pageLines(console, interactive);
    DayContext context {store, settings, folder, *sources.source, pageLines, console, notStopped};
    DayOutputs outputs(load, day, folder, settings, console);
    QElapsedTimer timer;
    timer.start();
    DayResult result;
    {
        const InterruptStop stopOnCtrlC(store.cancelFlag);
        result = runDay(day, context, outputs);
    }
    const int analysed = result.analysedCount();
    const int incomplete = result.incompleteCount();
    console.line(
        QStringLiteral("計 %1レース中 %2レースを解析しました%3（%4）%5")
            .arg(QString::number(day.lastRace - day.firstRace + 1), QString::number(analysed),
                incomplete > 0 ? QStringLiteral("（うち %1レースは欠けあり）").arg(incomplete) : QString(),
                seconds(timer.elapsed()), result.stopped ? QStringLiteral("：中止しました") : QString()));
    listProblems(result, console);

    bool written = outputs.written();
    if (!load.reportDir.isEmpty()) {
        const QString heading = QStringLiteral("%1年 %2回%3%4日")
                                    .arg(load.year, QString::number(load.meeting.toInt()), load.course,
                                        QString::number(load.day.toInt()));
        DayPage page;
        page.site = day.site == ReadingSite::Two ? QStringLiteral("サイト2") : QStringLiteral("サイト1");
        // The journal's tally beside the day, when a journal is kept; a run
        // that analysed nothing leaves the folder as it was.
        if (analysed > 0 && settings.keepJournal && !result.journalFailed
            && QFileInfo::exists(folder.file(kJournalFile))) {
            const Status tally
                = writeJournalTally(folder.file(kJournalFile), QDir(load.reportDir).filePath(kTallyFolder));
            if (tally.ok())
                page.tallyLink = kTallyFolder + QStringLiteral("/index.html");
            else
                complain(tally.message());
            written = written && tally.ok();
        }
        if (const Status report = writeDayReport(load.reportDir, heading, outputs.summaries(), page);
            !report.ok()) {
            complain(report.message());
            written = false;
        }
    }
    if (result.stopped || analysed == 0)
        return kExitStopped;
    if (!written || result.journalFailed)
        return kExitFailed;
    return incomplete > 0 ? kExitIncomplete : kExitAnalysed;
}

}  // namespace

CommandSpec dayCommand()
{
    return {QStringLiteral("day"), QStringLiteral("1日分のレースを順に読み込んで解析する"),
        QStringLiteral("次のレースのページは、前のレースを読んでいる間に読み込みます。\n"
                       "レースごとに1行（読めなかったレースはその理由の detail 行も）、最後に合計の1行と、"
                       "読めなかったレース・欠けのあるレースの一覧を標準エラー出力に示します。"
                       "1レースでも解析できれば終了コードは 0、解析したレースに欠けがあれば 4 です。"),
        {}, 0, true, raceOptions(true), &runDayCommand};
}

}  // namespace marunoki::cli
