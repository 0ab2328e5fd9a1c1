// The journal's commands: results (the pending results filled from the
// runners' pages) and tally (how the figures did).

#include "cli/journal_commands.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt_stop.h"
#include "cli/load_command.h"
#include "cli/tally_options.h"

#include "app/common.h"
#include "app/message_sink.h"
#include "app/output_target.h"
#include "app/race_store.h"
#include "driver/results_fetch.h"
#include "journal/journal.h"
#include "journal/tally.h"
#include "journal/tally_request.h"
#include "output/tally_files.h"
#include "settings/settings.h"

#include <cstdio>

namespace marunoki::cli {

void printLine(const QString &text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
}

int openFailure(const Status &status)
{
    complain(status.message());
    return kExitFailed;
}

namespace {

class QuietSink : public MessageSink {
public:
    void message(const QString &) override { }
};

// The site whose record a tally takes when both sites' records of a race have
// results: the settings' reading site (サイト1 when the file names none).
int preferredTallySite(const AppFolder &folder)
{
    QuietSink quiet;
    return readSettings(folder, quiet).site == ReadingSite::Two ? 2 : 1;
}

// An output naming one of the folder's own files: the exit status, said already.
std::optional<int> refuseOutputs(const AppFolder &folder, const JournalOptions &options)
{
    for (const QString &output : {options.csvPath, options.htmlDir}) {
        if (const Status allowed = checkOutputTarget(folder, output); !allowed.ok()) {
            complain(allowed.message());
            return kExitUsage;
        }
    }
    // Checked before anything is written, as the output targets are.
    if (!options.htmlDir.isEmpty()) {
        if (const Status allowed = tallyFolderCheck(options.htmlDir); !allowed.ok()) {
            complain(allowed.message());
            return kExitUsage;
        }
    }
    return std::nullopt;
}

}  // namespace

int runTally(const AppFolder &folder, const JournalOptions &options)
{
    Result<TallyRequest> parsed = parseTallyRequest(options);
    if (!parsed.ok()) {
        complain(parsed.status.message());
        return kExitUsage;
    }
    TallyRequest &request = parsed.value;
    if (const auto refused = refuseOutputs(folder, options))
        return *refused;
    request.layout.preferredSite = preferredTallySite(folder);
    const Result<Tally> read = tallyOfJournal(folder.file(kJournalFile), request);
    if (!read.status.ok())
        return openFailure(read.status);
    const Tally &tally = read.value;
    const QByteArray text = tallyText(tally).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);

    bool written = true;
    if (!options.csvPath.isEmpty()) {
        if (const Status csv = writeTallyCsv(options.csvPath, tally); !csv.ok()) {
            complain(csv.message());
            written = false;
        }
    }
    if (!options.htmlDir.isEmpty()) {
        if (const Status html = writeTallyHtml(options.htmlDir, tally); !html.ok()) {
            complain(html.message());
            written = false;
        }
    }
    return written ? kExitAnalysed : kExitFailed;
}

int runResults(const AppFolder &folder, const LoadOptions &load, const JournalOptions &options)
{
    std::optional<QDate> since, until;
    QString error;
    if (!readDateOption(QStringLiteral("--since"), options.since, since, error)
        || !readDateOption(QStringLiteral("--until"), options.until, until, error)) {
        complain(error);
        return kExitUsage;
    }
    Console console(stderr, Console::isTerminal(stderr));
    const std::optional<Settings> settings = settingsFor(load, folder, console);
    if (!settings)
        return kExitUsage;
    if (const auto failed = checkSources(load, ReadingSite::None, *settings, folder))
        return *failed;
    if (const auto refused = refuseOutputs(folder, options))
        return *refused;
    Journal::Opened opened = openExistingJournal(folder.file(kJournalFile));
    if (!opened.status.ok())
        return openFailure(opened.status);

    const PageSources sources = makeSources(load, folder, *settings, console);
    std::atomic<qint16> cancel {0};
    ResultsContext context {
        *opened.value, *settings, *sources.source, sources.cached.cache.get(), console, console, cancel};
    ResultsOutcome outcome;
    {
        const InterruptStop stopOnCtrlC(cancel);
        outcome = fetchResults(context, since, until);
    }
    console.finish();
    for (const ResultsRace &race : outcome.races) {
        printLine(QStringLiteral("%1 サイト%2 %3%4回%5日 %6R %7: 着順 %8 頭、出走なし %9 頭、未取得 %10 頭")
                      .arg(race.key.date.toString(Qt::ISODate))
                      .arg(race.key.site)
                      .arg(courseNameOfCode(race.key.course))
                      .arg(race.key.meeting)
                      .arg(race.key.day)
                      .arg(race.key.race)
                      .arg(race.title)
                      .arg(race.found)
                      .arg(race.notRun)
                      .arg(race.pending));
    }
    printLine(resultsTotalLine(outcome));
    if (!outcome.failedPages.isEmpty()) {
        printLine(QStringLiteral("取得できなかったページ %1（結果は次回また取りに行きます）:")
                      .arg(outcome.failedPages.size()));
        for (const QString &page : outcome.failedPages)
            printLine(QStringLiteral("  ") + page);
    }
    std::fflush(stdout);
    if (!outcome.status.ok())
        return openFailure(outcome.status);
    return outcome.stopped ? kExitStopped : kExitAnalysed;
}

namespace {

OptionSpec valued(
    const char *name, const char *valueName, const QString &help, const QString &defaultText = {})
{
    return {QString::fromLatin1(name), QString::fromUtf8(valueName), help, defaultText, false};
}

int runResultsLine(const CommandLine &line)
{
    QString error;
    const std::optional<LoadOptions> load = readRaceOptions(line, error);
    if (!load)
        return usageError(line.command, error);
    JournalOptions options;
    options.since = line.value(QStringLiteral("since"));
    options.until = line.value(QStringLiteral("until"));
    return runResults(appFolderOf(line), *load, options);
}

int runTallyLine(const CommandLine &line)
{
    JournalOptions options;
    const std::pair<const char *, QString *> fields[] = {{"from", &options.from}, {"to", &options.to},
        {"site", &options.site}, {"course", &options.course}, {"surface", &options.surface},
        {"distance", &options.distance}, {"runners", &options.runners}, {"by", &options.by},
        {"group", &options.group}, {"csv", &options.csvPath}, {"html", &options.htmlDir}};
    for (const auto &[name, field] : fields)
        *field = line.value(QString::fromLatin1(name));
    if (const Result<TallyRequest> request = parseTallyRequest(options); !request.ok())
        return usageError(line.command, request.status.message());
    return runTally(appFolderOf(line), options);
}

}  // namespace

CommandSpec resultsCommand()
{
    return {QStringLiteral("results"),
        QStringLiteral("成績ジャーナルの結果待ちの馬の結果を、馬のページから取得する"),
        QStringLiteral("レースが終わった（開催日の17時を過ぎた）レースの、結果のない馬のページを読みます。\n"
                       "レースごとに1行と合計を標準出力に示します。取得できなかったページは一覧にし、"
                       "その馬の結果は次回また取りに行きます。終了コードは 0 です。"),
        {}, 0, true,
        {valued("since", "YYYY-MM-DD", QStringLiteral("この日以降のレース")),
            valued("until", "YYYY-MM-DD", QStringLiteral("この日までのレース")),
            valued("jobs", "N", QStringLiteral("同時に読み込むページ数の上限"), QStringLiteral("4")),
            valued("timeout", "SECONDS", QStringLiteral("1ページを待つ秒数"), QStringLiteral("30")),
            valued("base1", "URL", QStringLiteral("サイト1のアドレス"),
                QStringLiteral("設定ファイルの [web] site1")),
            valued("base2", "URL", QStringLiteral("サイト2のアドレス"),
                QStringLiteral("設定ファイルの [web] site2")),
            valued(
                "offline", "DIR", QStringLiteral("ネットワークの代わりにこのフォルダの保存ページから読む")),
            {QStringLiteral("refresh"), {}, QStringLiteral("キャッシュを使わず、すべてのページを読み直す"),
                {}, false}},
        &runResultsLine};
}

CommandSpec tallyCommand()
{
    return {QStringLiteral("tally"),
        QStringLiteral("成績ジャーナルから指数順位別・人気順位別・印別の成績を集計する"),
        QStringLiteral(
            "指数（平均・最高・90日平均）の順位1〜5位と、基準として人気1〜5番の成績と単勝回収率を表にし、\n"
            "指数1位を2位との差で分けた表を添えます。両サイトで読んだレースは1回と数えます。\n"
            "結果待ち・指数のある馬が2頭未満・出馬表を読み切れなかったレースは別に数えて最後の行に示します"
            "。"),
        {}, 0, true,
        {valued("from", "YYYY-MM-DD", QStringLiteral("この日以降のレース")),
            valued("to", "YYYY-MM-DD", QStringLiteral("この日までのレース")),
            valued("site", "1|2", QStringLiteral("読込みサイト")),
            valued("course", "COURSE", QStringLiteral("場の名前（東京）か2桁のコード（05）")),
            valued("surface", "芝|ダ", QStringLiteral("芝かダート")),
            valued("distance", "A-B", QStringLiteral("距離（m）の範囲")),
            valued("runners", "A-B", QStringLiteral("頭数の範囲")),
            valued(
                "by", "mean|best|mean90|popularity|mark", QStringLiteral("この表だけ（人気の表も添えます）")),
            valued("group", "course|surface|distance|month|field",
                QStringLiteral("この項目で分けて、各表の1位を1行ずつ")),
            valued("csv", "FILE", QStringLiteral("集計を CSV で書き出す（1行目が見出しのデータ）")),
            valued("html", "DIR", QStringLiteral("集計を HTML（index.html と SVG の棒グラフ）で書き出す"))},
        &runTallyLine};
}

}  // namespace marunoki::cli
