#pragma once
// The day report: one line per race of a day (number, title, conditions,
// runners, the three runners with the best mean figure and their figures, a
// link to the race's own page, and once the results are in the winner and how
// the ◎ ran) in one HTML page, "index.html" of the report folder, under the
// day's name, its calendar date and the site it was read from. The lines are taken from the store while it
// holds each race, so the report of a whole day needs one race's memory at a time.

#include "app/status.h"
#include "journal/journal.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace marunoki {

class RaceStore;

struct RaceSummary {
    int race = 0;
    bool analysed = false;
    QString reason;  // not analysed: why, in one line
    QString title, conditions;
    int runners = 0;
    struct Runner {
        int number = 0;
        QString name;
        float meanFigure = 0;
    };
    std::vector<Runner> best;  // up to three, best mean figure first
    std::optional<Runner> honmei;  // the runner the user marked ◎ (no figure)
    QString honmeiRan;  // how the ◎ ran ("3着 2人気"); empty before the results
    std::vector<Runner> winners;  // 1着 (two for a dead heat); empty before the results
    double date = 0;  // the race's date (day count), 0 = not known
    QString link;  // relative to the report folder; empty = no link
    QString keptRow;  // a race not analysed in this run: its row of the index before; empty = none
};

// What the day's page says beside its races.
struct DayPage {
    QString site;  // the site read ("サイト1"); empty = not said
    QString tallyLink;  // the journal's tally page, relative; empty = none
};

// The summary of the race the store holds: the runners with a mean figure
// (meanFigure, 0 = none) ranked by it, ties by horse number; the title without a
// leading race number (Site 2's titles carry one); the runner marks gives ◎.
// Reads the store only.
// results: the race's results from the journal, for the winner and the ◎.
RaceSummary summarizeRace(
    const RaceStore &store, int race, const MarksByNumber &marks = {}, const ResultsByNumber &results = {});

// The folder of race n's report inside the day's folder: "05R".
QString raceReportFolder(int race);

// The page: heading (the day, e.g. "2026年 5回東京9日"), the calendar date
// (from the first race that has one), the site and the tally's link, and one
// row per summary. Every text is escaped.
QByteArray dayIndexHtml(
    const QString &heading, const std::vector<RaceSummary> &races, const DayPage &page = {});

// Writes dayIndexHtml to folder/index.html atomically (the folder is made).
Status writeDayIndex(const QString &folder, const QString &heading, const std::vector<RaceSummary> &races,
    const DayPage &page = {});

// Fills the empty day navigation of a report page (a race's index.html) with a
// link to the journal's tally page (href relative to the page), rewriting the
// page atomically.
Status linkTallyPage(const QString &page, const QString &href);

// The races a day's index lists: those of this run (`run`), and every race
// whose page (NNR/index.html) is in the folder from an earlier run, with the
// row the index had for it then (or, without one, a row linking to its page).
// A race this run could not read keeps its earlier page this way. By race number.
std::vector<RaceSummary> dayIndexRaces(const QString &folder, const std::vector<RaceSummary> &run);

// The day's index (of dayIndexRaces) and the race pages' navigation, written
// only when at least one race of `run` was analysed: a run that read nothing
// (every race failed, or it was stopped first) leaves the folder as it was.
Status writeDayReport(const QString &folder, const QString &heading, const std::vector<RaceSummary> &run,
    const DayPage &page = {});

// Fills the day navigation of every race page the summaries link to (in
// folder): a link back to the day's index (named `heading`) and to the
// previous and next race that has a page. Each page is rewritten atomically; a
// failure names the page and the others are still linked.
Status linkRacePages(const QString &folder, const QString &heading, const std::vector<RaceSummary> &races);

}  // namespace marunoki
