// Writes the sample season: SAMPLE DATA, made-up races and horses (two
// courses, two meetings of four days, twelve races a day, spring 2026) as page
// archives of both sites (site1/, site2/) with the runners' pages as they read
// after the season, and an application folder (app/) holding the sample track
// database, which covers the season's dates, and settings naming the sample
// sites. `marunoki-cli backtest --offline OUTDIR/site1 ...` replays it.
//
// Usage: make_sample_season OUTDIR TRACKDB

#include "support/sample_race.h"
#include "support/sample_season.h"
#include "web/page_archive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kBase1 = QStringLiteral("https://site1.example");
const QString kBase2 = QStringLiteral("https://site2.example");

bool writeArchive(const SampleSeason &season, int site, const QString &folder)
{
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return false;
    }
    PageArchive archive(folder);
    const QMap<QString, QString> pages = seasonPages(season, site, site == 1 ? kBase1 : kBase2);
    for (auto page = pages.begin(); page != pages.end(); ++page) {
        const Status saved = archive.save(page.key(), samplePageBytes(page.value()), "UTF-8");
        if (!saved.ok()) {
            std::fprintf(stderr, "cannot save %s: %s\n", qPrintable(page.key()), qPrintable(saved.message()));
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_sample_season OUTDIR TRACKDB\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const SampleSeason season = makeSampleSeason();
    if (!writeArchive(season, 1, out + QStringLiteral("/site1"))
        || !writeArchive(season, 2, out + QStringLiteral("/site2")))
        return 1;
    const QString appDir = out + QStringLiteral("/app");
    QDir(appDir).removeRecursively();
    QFile settings(appDir + QStringLiteral("/marunoki.ini"));
    if (!QDir().mkpath(appDir)
        || !QFile::copy(QString::fromLocal8Bit(argv[2]), appDir + QStringLiteral("/marunoki.dat"))
        || !settings.open(QIODevice::WriteOnly)
        || settings.write(QStringLiteral("; SAMPLE settings for the sample season (made-up sites)\r\n"
                                         "[site]\r\nsite=サイト1\r\n[web]\r\nsite1=%1\r\nsite2=%2\r\n")
                              .arg(kBase1, kBase2)
                              .toUtf8())
            <= 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(appDir));
        return 1;
    }
    int runners = 0;
    for (const SeasonRace &race : season.races)
        runners += int(race.horses.size());
    std::printf("sample season: %zu races, %d runners, %zu horses\n", season.races.size(), runners,
        season.horses.size());
    return 0;
}
