#pragma once
// The command line of marunoki-cli, parsed into values. Parsing never touches
// files or the network; what the options mean is decided by the commands.

#include <QString>
#include <QStringList>

#include <optional>

namespace marunoki::cli {

enum class Command { Load, Day, ImportMdb, Demo, Results, Tally, Help };

struct LoadOptions {
    std::optional<int> site;  // 1 or 2; nothing = the settings file's "site"
    QString year;  // four digits; empty = this year (the box's initial text)
    QString course;  // course-table name; empty = not chosen
    QString meeting, day, race;  // two digits each; empty = not chosen
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
    // day only
    int firstRace = 1, lastRace = 12;  // --races A-B
    QString jsonDir;  // one JSON file per race analysed
};

// The journal's commands, their values as typed (the commands check them).
struct JournalOptions {
    // results: the races from since to until (YYYY-MM-DD; empty = no bound)
    QString since, until;
    // tally: the filters, the table asked for, the files
    QString from, to, site, course, surface, distance, runners, by;
    QString csvPath, htmlDir;
};

struct Options {
    Command command = Command::Help;
    QString appDir;  // empty = the executable's folder
    LoadOptions load;  // also results' page options (--jobs, --base1, --offline, --refresh ...)
    JournalOptions journal;
    QString importSource, importDest;
};

// The parsed command line, or the reason it is not one.
struct [[nodiscard]] ParseResult {
    std::optional<Options> options;
    QString error;
};

// arguments without the program name.
ParseResult parseCommandLine(const QStringList &arguments);

// The usage text (several lines, ending in a line end).
QString usageText();

}  // namespace marunoki::cli
