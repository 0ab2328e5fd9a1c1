#include "cli/load_command.h"

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt_stop.h"

#include "app/output_target.h"
#include "app/race_store.h"
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
#include <memory>

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

// The views the options ask for, drawn as the window draws them after a load
// (runner 1's graph shown). Every output is tried; false when any failed.
bool writeViewOutputs(const LoadOptions &load, RaceStore &store, const Settings &settings, Console &console)
{
    using Writer = Status (*)(ViewContext &, const QString &);
    const std::pair<const QString &, Writer> outputs[] = {
        {load.viewsJson, &writeViewsJson},
        {load.graphsPdf, &writeGraphsPdf},
        {load.tablePdf, &writeTablePdf},
        {load.pngDir, &writeViewPngs},
        {load.reportDir,
            [](ViewContext &context, const QString &dir) { return writeRaceReport(context, dir); }},
    };
    if (std::all_of(std::begin(outputs), std::end(outputs), [](const auto &o) { return o.first.isEmpty(); }))
        return true;
    WindowViews views;
    ViewContext context {store, settings, 1, views, console};
    loadEnded(context, true);
    bool written = true;
    for (const auto &[path, write] : outputs) {
        if (path.isEmpty())
            continue;
        if (const Status status = write(context, path); !status.ok()) {
            complain(status.message());
            written = false;
        }
    }
    return written;
}

// Why a site has no address: no settings file, a file that cannot be read, or
// a file without the key.
QString noAddressMessage(int site, const AppFolder &folder)
{
    const QString path = settingsFile(folder);
    const QString prefix = QStringLiteral("no address for Site %1: ").arg(site);
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
        + QStringLiteral("give --base%1 or set key site%1 in section web of %2").arg(site).arg(path);
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
    return makePageSources(choice, folder, settings.cache, console, files);
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
    Settings settings = readIniPara(folder, console);
    if (!load.base1.isEmpty())
        settings.site1Base = load.base1;
    if (!load.base2.isEmpty())
        settings.site2Base = load.base2;
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
    if (!load.offlineDir.isEmpty() && !QDir(load.offlineDir).exists()) {
        complain(QStringLiteral("no such folder: %1").arg(load.offlineDir));
        return kExitUsage;
    }
    if (!load.archiveDir.isEmpty() && !QDir().mkpath(load.archiveDir)) {
        complain(QStringLiteral("cannot create folder %1").arg(load.archiveDir));
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
            complain(QStringLiteral("cannot write to standard output"));
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
    if (!result.analysed)
        return kExitStopped;

    // A page that could not be archived was reported when it happened.
    bool written = sources.archiving == nullptr || !sources.archiving->saveFailed();
    if (!load.jsonPath.isEmpty())
        written = writeOutput(load.jsonPath, raceStoreJson(store), files) && written;
    if (load.csv)
        written = writeCsv(store, folder, console, files) && written;
    written = writeViewOutputs(load, store, settings, console) && written;
    return written ? kExitAnalysed : kExitFailed;
}

int loadCommand(const Options &options)
{
    const AppFolder folder = options.appDir.isEmpty() ? AppFolder::ofExecutable() : AppFolder(options.appDir);
    Console console(stderr, Console::isTerminal(stderr));
    RaceStore store;
    return runLoadCommand(options.load, folder, store, console);
}

}  // namespace marunoki::cli
