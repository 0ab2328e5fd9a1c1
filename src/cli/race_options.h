#pragma once
// The options of load and day (which share most of them): their specs for the
// command table, and the checked values a load runs with.

#include "cli/cli_options.h"

#include <QString>

#include <optional>
#include <vector>

namespace marunoki::cli {

struct LoadOptions {
    std::optional<int> site;  // 1 or 2; nothing = the settings file's "site"
    QString year;  // four digits; empty = this year (the box's initial text)
    QString course;  // course-table name
    QString meeting, day, race;  // two digits each
    QString base1, base2;  // empty = the settings file's addresses
    QString jsonPath;  // empty = no JSON; "-" = stdout
    bool csv = false;
    int jobs = 4;
    double timeoutSeconds = 30;
    QString archiveDir;
    QString offlineDir;
    // The views as files; empty = not written.
    QString graphsPdf;  // the graph print job, every page in one PDF
    QString tablePdf;  // the table print job
    QString pngDir;  // graph-01.png ..., hikaku.png, bacyu.png
    QString viewsJson;  // what the window's text views hold
    // load: index.html and the graphs as SVG; day: a report folder per race
    // and the day's index.html
    QString reportDir;
    bool refresh = false;  // fetch every page again (the cache is written, not read)
    bool noJournal = false;  // --no-journal: this run records nothing in the journal
    bool summaryLine = true;  // load ends with one line on stderr (the demo prints its own summary)
    // day only
    int firstRace = 1, lastRace = 12;  // --races A-B
    QString jsonDir;  // one JSON file per race analysed
};

// The options of load (day false) or day (a range of races instead of one, and
// folders for the outputs of many races).
std::vector<OptionSpec> raceOptions(bool day);

// The values of the options given, checked; nothing (error set, in Japanese,
// naming the option) when one is not usable.
std::optional<LoadOptions> readRaceOptions(const CommandLine &line, QString &error);

}  // namespace marunoki::cli
