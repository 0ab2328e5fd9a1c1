#pragma once
// A generated sample season (SAMPLE DATA, made-up horses and races): two
// courses (東京, 中山), two meetings of four days each in spring 2026, twelve
// races a day of 10 to 16 runners drawn from a stable of horses with careers
// that hang together: each horse has an ability, runs at most once a day, and
// its page shows every run of the season and of the year before with result,
// popularity, time and last three furlongs. For the backtest's tests, its
// benchmark and the demo.

#include "support/site_pages.h"

#include <QDate>
#include <QMap>
#include <QString>

#include <vector>

namespace marunoki::test {

struct SeasonRace {
    RaceCard card;
    std::vector<int> horses;  // horses[n - 1]: the stable index of runner n
};

struct SampleSeason {
    std::vector<SeasonRace> races;  // in walk order: course, meeting, day, race
    std::vector<HorsePage> horses;  // every run, newest first (the season's too)
    std::vector<QString> horseIds;  // Site 1 ids with their slash
};

struct SampleSeasonOptions {
    std::vector<int> courses = {5, 6};
    int meetings = 2;
    int days = 4;
    int races = 12;
    int horses = 420;
};

SampleSeason makeSampleSeason(const SampleSeasonOptions &options = {});

// Every page of the season on one site under base: the cards and the horses'
// pages. With `before`, the horse pages show only the runs before that date
// (the pages as they read on that morning).
QMap<QString, QString> seasonPages(
    const SampleSeason &season, int site, const QString &base, std::optional<QDate> before = std::nullopt);

// The card address of race r of the season on a site.
QString seasonCardAddress(const SeasonRace &race, int site, const QString &base);
// The page address of stable horse h on a site.
QString seasonHorseAddress(const SampleSeason &season, int h, int site, const QString &base);

}  // namespace marunoki::test
