#include "cli/load_command.h"

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt_stop.h"

#include "app/driver/load_driver.h"
#include "app/driver/page_cache_setup.h"
#include "app/driver/race_json.h"
#include "app/race_store.h"
#include "output/csv_export.h"
#include "settings/settings.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"

#include <QDate>
#include <QDir>
#include <QSaveFile>

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
    s.course = load.course.isEmpty() ? kCourseUnchosen : load.course;
    s.meeting = load.meeting.isEmpty() ? kMeetingUnchosen : load.meeting;
    s.day = load.day.isEmpty() ? kDayUnchosen : load.day;
    s.race = load.race.isEmpty() ? kRaceUnchosen : load.race;
    if (load.site)
        s.site = *load.site == 1 ? kSite1 : kSite2;
    else
        s.site = settings.site;
    return s;
}

}  // namespace

Sources makeSources(
    const LoadOptions &load, const AppFolder &folder, const Settings &settings, Console &console)
{
    Sources s;
    if (!load.offlineDir.isEmpty()) {
        s.archive = std::make_unique<PageArchive>(load.offlineDir);
        s.wrapper = std::make_unique<OfflinePageSource>(*s.archive);
        s.source = s.wrapper.get();
        return s;
    }
    s.network = std::make_unique<NetworkPageSource>();
    s.network->setMaxInFlight(load.jobs);
    s.network->setTimeLimitMs(int(load.timeoutSeconds * 1000));
    // The archive sees every page of the load, from the cache or not.
    s.cached = withPageCache(*s.network, folder, settings.cache, load.refresh, console);
    s.source = s.cached.source;
    if (!load.archiveDir.isEmpty()) {
        s.archive = std::make_unique<PageArchive>(load.archiveDir);
        s.wrapper = std::make_unique<ArchivingPageSource>(*s.source, *s.archive, console);
        s.source = s.wrapper.get();
    }
    return s;
}

Settings settingsFor(const LoadOptions &load, const AppFolder &folder, Console &console)
{
    Settings settings = readIniPara(folder, console);
    if (!load.base1.isEmpty())
        settings.site1Base = load.base1;
    if (!load.base2.isEmpty())
        settings.site2Base = load.base2;
    settings.site1Base = baseAddress(settings.site1Base);
    settings.site2Base = baseAddress(settings.site2Base);
    return settings;
}

std::optional<int> checkSources(
    const LoadOptions &load, const QString &site, const Settings &settings, const AppFolder &folder)
{
    // Without an address the load could only fail page by page; say what is
    // missing instead.
    if (site == kSite1 && settings.site1Base.isEmpty()) {
        complain(QStringLiteral("no address for Site 1: give --base1 or set key site1 in section web of %1")
                     .arg(settingsFile(folder)));
        return kExitUsage;
    }
    if (site == kSite2 && settings.site2Base.isEmpty()) {
        complain(QStringLiteral("no address for Site 2: give --base2 or set key site2 in section web of %1")
                     .arg(settingsFile(folder)));
        return kExitUsage;
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

bool writeOutput(const QString &path, const QByteArray &bytes)
{
    if (path == QStringLiteral("-")) {
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
            || std::fflush(stdout) != 0) {
            complain(QStringLiteral("cannot write to standard output"));
            return false;
        }
        return true;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        complain(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

int runLoadCommand(const LoadOptions &load, const AppFolder &folder, RaceStore &store, Console &console)
{
    const Settings settings = settingsFor(load, folder, console);
    const RaceSelection selection = selectionOf(load, settings);
    // The site's address is checked only once the selection itself is complete.
    const bool complete = missingSelectionMessage(selection).isEmpty();
    if (const auto failed = checkSources(load, complete ? selection.site : QString(), settings, folder))
        return *failed;

    Sources sources = makeSources(load, folder, settings, console);
    LoadContext context {store, settings, folder, *sources.source, console, console};
    LoadResult result;
    {
        const InterruptStop stopOnCtrlC(store.cancelFlag);
        result = runLoad(selection, context);
    }
    console.finish();
    if (!result.analysed)
        return kExitStopped;

    bool written = true;
    if (!load.jsonPath.isEmpty())
        written = writeOutput(load.jsonPath, raceStoreJson(store)) && written;
    if (load.csv)
        written = writeCsv(store, folder, console) && written;
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
