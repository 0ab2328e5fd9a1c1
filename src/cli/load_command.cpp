#include "cli/load_command.h"

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt_stop.h"

#include "app/driver/load_driver.h"
#include "app/driver/race_json.h"
#include "app/race_store.h"
#include "output/csv_export.h"
#include "settings/settings.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"

#include <QDate>
#include <QDir>

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

// The page source of the options, and whatever it needs kept alive.
struct Sources {
    std::unique_ptr<NetworkPageSource> network;
    std::unique_ptr<PageArchive> archive;
    std::unique_ptr<PageSource> wrapper;  // archiving or offline
    PageSource *source = nullptr;
};

Sources makeSources(const LoadOptions &load, Console &console, const FileSystem &files)
{
    Sources s;
    if (!load.offlineDir.isEmpty()) {
        s.archive = std::make_unique<PageArchive>(load.offlineDir, files);
        s.wrapper = std::make_unique<OfflinePageSource>(*s.archive);
        s.source = s.wrapper.get();
        return s;
    }
    s.network = std::make_unique<NetworkPageSource>();
    s.network->setMaxInFlight(load.jobs);
    s.network->setTimeLimitMs(int(load.timeoutSeconds * 1000));
    s.source = s.network.get();
    if (!load.archiveDir.isEmpty()) {
        s.archive = std::make_unique<PageArchive>(load.archiveDir, files);
        s.wrapper = std::make_unique<ArchivingPageSource>(*s.network, *s.archive, console);
        s.source = s.wrapper.get();
    }
    return s;
}

}  // namespace

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
    Settings settings = readIniPara(folder, console);
    if (!load.base1.isEmpty())
        settings.site1Base = load.base1;
    if (!load.base2.isEmpty())
        settings.site2Base = load.base2;
    settings.site1Base = baseAddress(settings.site1Base);
    settings.site2Base = baseAddress(settings.site2Base);
    const RaceSelection selection = selectionOf(load, settings);

    // Without an address the load could only fail page by page; say what is
    // missing instead (once the selection itself is complete).
    if (missingSelectionMessage(selection).isEmpty()) {
        if (selection.site == kSite1 && settings.site1Base.isEmpty()) {
            complain(
                QStringLiteral("no address for Site 1: give --base1 or set key site1 in section web of %1")
                    .arg(settingsFile(folder)));
            return kExitUsage;
        }
        if (selection.site == kSite2 && settings.site2Base.isEmpty()) {
            complain(
                QStringLiteral("no address for Site 2: give --base2 or set key site2 in section web of %1")
                    .arg(settingsFile(folder)));
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

    Sources sources = makeSources(load, console, files);
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
        written = writeOutput(load.jsonPath, raceStoreJson(store), files) && written;
    if (load.csv)
        written = writeCsv(store, folder, console, files) && written;
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
