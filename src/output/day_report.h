#pragma once
// The day report: one line per race of a day (number, title, conditions,
// runners, the three runners with the best mean figure and their figures, a
// link to the race's own page) in one HTML page, "index.html" of the report
// folder. The lines are taken from the store while it holds each race, so the
// report of a whole day needs one race's memory at a time.

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
    QString link;  // relative to the report folder; empty = no link
    QString keptRow;  // a race not analysed in this run: its row of the index before; empty = none
};

// The summary of the race the store holds: the runners with a mean figure
// (U_heikin, 0 = none) ranked by it, ties by horse number; the title without a
// leading race number (Site 2's titles carry one); the runner marks gives ◎.
// Reads the store only.
RaceSummary summarizeRace(const RaceStore &store, int race, const MarksByNumber &marks = {});

// The folder of race n's report inside the day's folder: "05R".
QString raceReportFolder(int race);

// The page: heading (the day, e.g. "2026年 5回東京9日") and one row per summary.
// Every text is escaped.
QByteArray dayIndexHtml(const QString &heading, const std::vector<RaceSummary> &races);

// Writes dayIndexHtml to folder/index.html atomically (the folder is made).
Status writeDayIndex(const QString &folder, const QString &heading, const std::vector<RaceSummary> &races);

// The races a day's index lists: those of this run (`run`), and every race
// whose page (NNR/index.html) is in the folder from an earlier run, with the
// row the index had for it then (or, without one, a row linking to its page).
// A race this run could not read keeps its earlier page this way. By race number.
std::vector<RaceSummary> dayIndexRaces(const QString &folder, const std::vector<RaceSummary> &run);

// The day's index (of dayIndexRaces) and the race pages' navigation, written
// only when at least one race of `run` was analysed: a run that read nothing
// (every race failed, or it was stopped first) leaves the folder as it was.
Status writeDayReport(const QString &folder, const QString &heading, const std::vector<RaceSummary> &run);

// Fills the day navigation of every race page the summaries link to (in
// folder): a link back to the day's index (named `heading`) and to the
// previous and next race that has a page. Each page is rewritten atomically; a
// failure names the page and the others are still linked.
Status linkRacePages(const QString &folder, const QString &heading, const std::vector<RaceSummary> &races);

}  // namespace marunoki
