// Writes the bundled sample race day: SAMPLE DATA, made-up races (2026-11-29,
// 5回東京9日 10R to 12R; 11R, 16 runners, is the demo's race) with every runner's
// history, as page archives that
// the offline page source reads (site1/ and site2/, one per site, in the sites'
// layouts), and the settings file that names the sample sites' addresses.
//
// The runners' pages as they read after the day's races (made-up results) go
// into site1-after/ and site2-after/.
//
// Usage: make_sample_race OUTDIR
// Prints the names of the runners that get local-racing runs, comma-separated,
// for make_sample_nar.py --horses.

#include "support/sample_race.h"
#include "web/page_archive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace marunoki;
using namespace marunoki::test;

namespace {

// Addresses under the reserved .example domain: the sample sites exist only in
// the archives.
const QString kBase1 = QStringLiteral("https://site1.example");
const QString kBase2 = QStringLiteral("https://site2.example");

// Runners with local (NAR) runs in the sample local-racing database.
const int kLocalRunners[] = {2, 5, 9, 13};

using PagesOf = QMap<QString, QString> (*)(const SampleRace &, int, const QString &);

bool writeArchive(
    const std::vector<SampleRace> &races, int site, const QString &folder, PagesOf pagesOf = &samplePages)
{
    // A fresh folder, so that no page of an older sample stays behind.
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return false;
    }
    PageArchive archive(folder);
    for (const SampleRace &race : races) {
        const QMap<QString, QString> pages = pagesOf(race, site, site == 1 ? kBase1 : kBase2);
        for (auto page = pages.begin(); page != pages.end(); ++page) {
            const Status saved = archive.save(page.key(), samplePageBytes(page.value()), "UTF-8");
            if (!saved.ok()) {
                std::fprintf(
                    stderr, "cannot save %s: %s\n", qPrintable(page.key()), qPrintable(saved.message()));
                return false;
            }
        }
    }
    return true;
}

bool writeSettings(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QString text
        = QStringLiteral("; SAMPLE settings for the bundled sample race (made-up sites, see README.md)\r\n"
                         "[site]\r\nsite=サイト1\r\n"
                         "[web]\r\nsite1=%1\r\nsite2=%2\r\n")
              .arg(kBase1, kBase2);
    return file.write(text.toUtf8()) > 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_race OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const SampleRace race = makeSampleRace();
    // The day around the race: its other races, with fields of 14 to 18.
    std::vector<SampleRace> day;
    for (int number : kSampleDayRaces)
        day.push_back(makeSampleRace(sampleDayRaceOptions(number)));
    if (!writeArchive(day, 1, out + QStringLiteral("/site1"))
        || !writeArchive(day, 2, out + QStringLiteral("/site2")))
        return 1;
    // The same runners' pages once the day's races have been run (results --offline).
    if (!writeArchive(day, 1, out + QStringLiteral("/site1-after"), &sampleAfterRacePages)
        || !writeArchive(day, 2, out + QStringLiteral("/site2-after"), &sampleAfterRacePages))
        return 1;
    if (!writeSettings(out + QStringLiteral("/marunoki.ini"))) {
        std::fprintf(stderr, "cannot write marunoki.ini\n");
        return 1;
    }
    QStringList names;
    for (int n : kLocalRunners)
        names.append(race.card.runners.at(n - 1).name);
    std::printf("%s\n", names.join(u',').toUtf8().constData());
    return 0;
}
