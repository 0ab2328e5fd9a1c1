#include "cli/load_command.h"

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt_stop.h"

#include "app/file_name.h"
#include "app/output_target.h"
#include "app/race_store.h"
#include "driver/journal_recorder.h"
#include "driver/load_driver.h"
#include "output/csv_export.h"
#include "output/race_json.h"
#include "output/race_report.h"
#include "output/view_files.h"
#include "output/views_json.h"
#include "settings/settings.h"
#include "window/window_views.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <tuple>

namespace marunoki::cli {

namespace {

// A base address as given, without the trailing slash the page paths bring.
QString baseAddress(QString base)
{
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

// The texts the selection boxes would show: an option not given leaves its box
// at the initial text (so the driver names it), the year box shows this year.
RaceSelection selectionOf(const LoadOptions &load, const Settings &settings)
{
    RaceSelection s;
    s.year = load.year.isEmpty() ? QString::number(QDate::currentDate().year()) : load.year;
    // An option not given is a box not chosen.
    const auto given
        = [](const QString &text) { return text.isEmpty() ? std::nullopt : std::optional(text); };
    s.course = given(load.course);
    s.meeting = given(load.meeting);
    s.day = given(load.day);
    s.race = given(load.race);
    s.site = siteOf(load, settings);
    return s;
}

// An output the options asked for, as the summary line names it.
struct Output {
    QString option;
    bool written;
};

// The views the options ask for, drawn as the window draws them after a load
// (runner 1's graph shown); the report shows the race's marks and, once they
// are in, its results. Every output is tried.
void writeViewOutputs(const LoadOptions &load, RaceStore &store, const Settings &settings,
    const MarksByNumber &marks, const ResultsByNumber &results, Console &console, std::vector<Output> &done)
{
    using Writer = std::function<Status(ViewContext &, const QString &)>;
    const std::tuple<const char *, const QString &, Writer> outputs[] = {
        {"--views-json", load.viewsJson, &writeViewsJson},
        {"--graphs-pdf", load.graphsPdf, &writeGraphsPdf},
        {"--table-pdf", load.tablePdf, &writeTablePdf},
        {"--png", load.pngDir, &writeViewPngs},
        {"--report", load.reportDir,
            [&marks, &results](ViewContext &context, const QString &dir) {
                return writeRaceReport(context, dir, marks, results);
            }},
    };
    if (std::all_of(
            std::begin(outputs), std::end(outputs), [](const auto &o) { return std::get<1>(o).isEmpty(); }))
        return;
    WindowViews views;
    ViewContext context {store, settings, 1, views, console};
    loadEnded(context, true);
    for (const auto &[option, path, write] : outputs) {
        if (path.isEmpty())
            continue;
        const Status status = write(context, path);
        if (!status.ok())
            complain(status.message());
        done.push_back({QString::fromLatin1(option), status.ok()});
    }
}

// The run's last line on stderr, as day ends with one: the race, the runners
// analysed and the outputs written (and those that could not be).
void sayLoadEnded(Console &console, const LoadOptions &load, const RaceSelection &selection,
    const RaceStore *analysed, const std::vector<Output> &outputs)
{
    if (!load.summaryLine)
        return;
    const QString race = QStringLiteral("%1R ").arg(selection.race.value_or(QString()));
    if (analysed == nullptr) {
        console.status(race + QStringLiteral("読み込めませんでした（書き出しなし）"));
        console.finish();
        return;
    }
    QStringList written, failed;
    for (const Output &output : outputs)
        (output.written ? written : failed).append(output.option);
    QString line = race
        + QStringLiteral("%1 %2頭 解析済み")
              .arg(analysed->raceTitle, QString::number(analysed->runnerCount()));
    QStringList parts;
    if (!written.isEmpty())
        parts.append(QStringLiteral("書き出し: ") + written.join(QStringLiteral(", ")));
    if (!failed.isEmpty())
        parts.append(QStringLiteral("書き出せず: ") + failed.join(QStringLiteral(", ")));
    if (!analysed->gaps.complete())
        parts.append(QStringLiteral("欠けあり"));
    if (!parts.isEmpty())
        line += QStringLiteral("（") + parts.join(QStringLiteral("、")) + QStringLiteral("）");
    console.status(line);
    console.finish();
}

// Why a site has no address: no settings file, a file that cannot be read, or
// a file without the key.
QString noAddressMessage(int site, const AppFolder &folder)
{
    const QString path = settingsFile(folder);
    const QString prefix = QStringLiteral("サイト%1のアドレスがありません: ").arg(site);
    const IniFile ini = IniFile::read(path);
    switch (ini.state()) {
    case IniFile::State::Missing:
        return prefix
            + QStringLiteral("設定ファイル %1 がありません。--base%2 でアドレスを指定してください")
                  .arg(path)
                  .arg(site);
    case IniFile::State::Unreadable:
        return prefix
            + QStringLiteral("設定ファイル %1 が読めません（%2）。--base%3 でアドレスを指定してください")
                  .arg(path, ini.problem())
                  .arg(site);
    case IniFile::State::Read:
        break;
    }
    return prefix
        + QStringLiteral("--base%1 で指定するか、%2 の [web] に site%1= を書いてください")
              .arg(site)
              .arg(path);
}

}  // namespace

PageSources makeSources(const LoadOptions &load, const AppFolder &folder, const Settings &settings,
    Console &console, const FileSystem &files)
{
    PageSourceChoice choice;
    choice.offlineFolder = load.offlineDir;
    choice.archiveFolder = load.archiveDir;
    choice.refresh = load.refresh;
    choice.maxInFlight = load.jobs;
    choice.timeLimitMs = int(load.timeoutSeconds * 1000);
    return makePageSources(choice, folder, settings, console, files);
}

ReadingSite siteOf(const LoadOptions &load, const Settings &settings)
{
    if (!load.site)
        return settings.site;
    return *load.site == 1 ? ReadingSite::One : ReadingSite::Two;
}

std::optional<Settings> settingsFor(const LoadOptions &load, const AppFolder &folder, Console &console)
{
    // Without this, every setting would silently take its default and the
    // first complaint would be about a missing key.
    if (!QFileInfo(folder.path()).isDir()) {
        complain(QStringLiteral("アプリケーションフォルダ %1 がありません（--app-dir を確かめてください）")
                     .arg(folder.path()));
        return std::nullopt;
    }
    Settings settings = readSettings(folder, console);
    // The reading stopped there: the site and the settings after it were never
    // read, and a load would "analyse" a race of nobody.
    if (!settings.stoppedKey.isEmpty()) {
        complain(QStringLiteral("設定ファイル %1 の [graph] %2=%3 は使える数値ではありません"
                                "（設定はここで読み終わり、サイトが決まりません）")
                     .arg(settingsFile(folder), settings.stoppedKey, settings.stoppedValue));
        return std::nullopt;
    }
    if (!load.base1.isEmpty())
        settings.site1Base = load.base1;
    if (!load.base2.isEmpty())
        settings.site2Base = load.base2;
    if (load.noJournal)
        settings.keepJournal = false;
    settings.site1Base = baseAddress(settings.site1Base);
    settings.site2Base = baseAddress(settings.site2Base);
    // A site setting that names neither site would load nothing and still end
    // "analysed"; the value came from the file, so name the key and the value.
    if (!load.site && settings.site == ReadingSite::None && !settings.otherSite.isEmpty()) {
        complain(QStringLiteral("設定ファイル %1 の [site] site=%2 はサイトの名前ではありません"
                                "（サイト1 か サイト2 を書くか、--site 1|2 を指定してください）")
                     .arg(settingsFile(folder), settings.otherSite));
        return std::nullopt;
    }
    return settings;
}

std::optional<int> checkSources(
    const LoadOptions &load, ReadingSite site, const Settings &settings, const AppFolder &folder)
{
    // Without an address the load could only fail page by page; say what is
    // missing instead.
    const int number = site == ReadingSite::One ? 1 : site == ReadingSite::Two ? 2 : 0;
    const QString &address = number == 1 ? settings.site1Base : settings.site2Base;
    if (number != 0 && address.isEmpty()) {
        complain(noAddressMessage(number, folder));
        return kExitUsage;
    }
    // Before anything is fetched: an output on the folder's own files is a
    // mistake in the command line.
    for (const QString &output : {load.jsonPath, load.graphsPdf, load.tablePdf, load.pngDir, load.viewsJson,
             load.reportDir, load.archiveDir, load.jsonDir}) {
        if (const Status allowed = checkOutputTarget(folder, output); !allowed.ok()) {
            complain(allowed.message());
            return kExitUsage;
        }
    }
    if (hasKeptBytes(load.offlineDir)) {
        complain(QStringLiteral("--offline のフォルダ %1 の名前は UTF-8 ではありません"
                                "（読めるのは UTF-8 の名前のフォルダです）")
                     .arg(shownFileName(load.offlineDir)));
        return kExitUsage;
    }
    if (!load.offlineDir.isEmpty() && !QDir(load.offlineDir).exists()) {
        complain(QStringLiteral("--offline のフォルダ %1 がありません").arg(load.offlineDir));
        return kExitUsage;
    }
    if (!load.archiveDir.isEmpty() && !QDir().mkpath(load.archiveDir)) {
        complain(QStringLiteral("--archive のフォルダ %1 を作れません").arg(load.archiveDir));
        return kExitFailed;
    }
    return std::nullopt;
}

void complain(const QString &text)
{
    const QByteArray line = "marunoki-cli: " + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

bool writeOutput(const QString &path, const QByteArray &bytes, const FileSystem &files)
{
    if (path == QStringLiteral("-")) {
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
            || std::fflush(stdout) != 0) {
            complain(QStringLiteral("標準出力に書き出せません"));
            return false;
        }
        return true;
    }
    const Status written = writeFileAtomically(path, bytes, files);
    if (!written.ok())
        complain(written.message());
    return written.ok();
}

int runLoadCommand(const LoadOptions &load, const AppFolder &folder, RaceStore &store, Console &console,
    const FileSystem &files)
{
    const std::optional<Settings> read = settingsFor(load, folder, console);
    if (!read)
        return kExitUsage;
    const Settings &settings = *read;
    const RaceSelection selection = selectionOf(load, settings);
    // The site's address is checked only once the selection itself is complete.
    const bool complete = missingSelectionMessage(selection).isEmpty();
    if (const auto failed
        = checkSources(load, complete ? selection.site : ReadingSite::None, settings, folder))
        return *failed;

    const PageSources sources = makeSources(load, folder, settings, console, files);
    LoadContext context {store, settings, folder, *sources.source, console, console};
    LoadResult result;
    {
        const InterruptStop stopOnCtrlC(store.cancelFlag);
        result = runLoad(selection, context);
    }
    console.finish();
    if (!result.analysed) {
        sayLoadEnded(console, load, selection, nullptr, {});
        return kExitStopped;
    }

    std::vector<Output> outputs;
    // A page that could not be archived was reported when it happened.
    if (sources.archiving != nullptr)
        outputs.push_back({QStringLiteral("--archive"), !sources.archiving->saveFailed()});
    if (!load.jsonPath.isEmpty())
        outputs.push_back(
            {QStringLiteral("--json"), writeOutput(load.jsonPath, raceStoreJson(store), files)});
    if (load.csv)
        outputs.push_back({QStringLiteral("--csv"), writeCsv(store, folder, console, files)});
    const bool report = !load.reportDir.isEmpty();
    writeViewOutputs(load, store, settings,
        report ? recordedMarks(folder, settings.keepJournal, selection, store) : MarksByNumber {},
        report ? recordedResults(folder, settings.keepJournal, selection, store) : ResultsByNumber {},
        console, outputs);
    sayLoadEnded(console, load, selection, &store, outputs);
    const bool written
        = std::all_of(outputs.begin(), outputs.end(), [](const Output &o) { return o.written; });
    // A race that could not be kept in the journal is an output not written.
    if (!written || result.journalFailed)
        return kExitFailed;
    // Each gap had its message when it happened; the status says the whole.
    if (!store.gaps.complete()) {
        complain(QStringLiteral("解析しましたが、読み込めなかったものがあります: ") + store.gaps.summary());
        return kExitIncomplete;
    }
    return kExitAnalysed;
}

namespace {

int runLoad(const CommandLine &line)
{
    QString error;
    const std::optional<LoadOptions> load = readRaceOptions(line, error);
    if (!load)
        return usageError(line.command, error);
    int status = kExitAnalysed;
    const std::optional<AppFolder> folder = appFolderFor(line, status);
    if (!folder)
        return status;
    Console console(stderr, Console::isTerminal(stderr));
    RaceStore store;
    return runLoadCommand(*load, *folder, store, console);
}

}  // namespace

CommandSpec loadCommand()
{
    return {QStringLiteral("load"), QStringLiteral("1レースを読み込んで解析し、指定の形式で書き出す"),
        QStringLiteral("出力はどれも読込みが最後まで済んでから、ひとつずつ丸ごと書き出します。\n"
                       "最後に、レース・解析した頭数・書き出したものを1行で標準エラー出力に示します。"),
        {}, 0, true, raceOptions(false), &runLoad};
}

}  // namespace marunoki::cli
