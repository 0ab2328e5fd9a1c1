#pragma once
// One synthetic race with a full field and a history for every runner, as the
// two sites would print it: for the end-to-end tests and for the bundled sample
// race of the demo. Every name, date and time in it is made up (sample data).
//
// The race: Sunday 2026-11-29, 5回東京9日 11R, 芝2400m. The past runs come from a
// pool of past races, one every three weeks back from the race day (all on
// Sundays), so that runners meet each other in them (head-to-head records). Past
// runs are on turf 1600-2400 m or dirt 1600-1800 m at 東京, 中山, 京都, 阪神 and
// 中京, all within the 420 days before the race.

#include "support/site_pages.h"

#include <QMap>
#include <QString>

#include <vector>

namespace marunoki::test {

class HttpTestServer;

struct SampleRaceOptions {
    int runners = 16;
    // Runner 1 gets two more runs, exactly 420 and 419 days before the race day
    // (only the second is inside the window), and one on the race day itself.
    bool boundaryRuns = false;
    // Runner 3's name, to test names with awkward characters (an apostrophe).
    QString runner3Name;
    // The race number on the day. Races other than 11 are the day's other
    // sample races: their own name, course, runner names and horse ids.
    int race = 11;
};

// The race numbers of the sample day (5回東京9日) that the samples hold.
inline constexpr int kSampleDayRaces[] = {10, 11, 12};
// The options of race `race` of the sample day: 11 is makeSampleRace's
// default race, the others have fields of 14 to 18.
SampleRaceOptions sampleDayRaceOptions(int race);

// The race as the page builders take it. Horse ids are Site 1's (with the
// trailing slash); sitePages drops it for Site 2.
struct SampleRace {
    RaceCard card;
    std::vector<HorsePage> horses;  // horses[n - 1] is runner n
};

SampleRace makeSampleRace(const SampleRaceOptions &options = {});

// The pages of the race on one site (1 or 2) under a base address: the card's
// address and every runner's page address mapped to the page's body HTML.
QMap<QString, QString> samplePages(const SampleRace &race, int site, const QString &base);

// The race's runners' pages as they read once the race has been run: each
// with the race as its newest run, a made-up result (the finishing order
// follows the runners' past form, shuffled a little; popularity likewise). In
// race 12 one runner (kSampleScratched) did not run: its page does not show
// the race.
QMap<QString, QString> sampleAfterRacePages(const SampleRace &race, int site, const QString &base);
inline constexpr int kSampleScratched = 7;

// A whole page as a site serves it, in UTF-8: a document around the body HTML,
// its title marking it as sample data.
QByteArray samplePageBytes(const QString &bodyHtml);

// Routes every page of the race on both sites, under base (the server's own
// address), to the server as samplePageBytes in UTF-8, each answered after
// delayMs.
void serveSamplePages(HttpTestServer &server, const SampleRace &race, const QString &base, int delayMs = 0);

// The card address of the race on one site.
QString sampleCardAddress(const SampleRace &race, int site, const QString &base);
// Runner n's page address on one site.
QString sampleHorseAddress(const SampleRace &race, int site, const QString &base, int n);

// Course code, surface (0 dirt, 1 turf) and distance of a run the pool uses,
// with its day count before the race and the average time of its distance and
// surface; for track-database rows that cover every run of makeSampleRace.
struct SampleTrackKey {
    int daysBefore;
    int course;
    int surface;
    int distance;
    double averageTime;
};
std::vector<SampleTrackKey> sampleTrackKeys();

}  // namespace marunoki::test
