#pragma once
// A browsable report of one loaded race, for a reader with a browser and no
// window: a folder holding index.html and the graphs as SVG files.
//
// index.html (UTF-8, no script, opens from the file system) has the race's
// heading (date, course, race number, title) and conditions, whether the
// local-racing runs are included, the runners ranked by mean, best and 90-day
// mean figure, the past-performance table as an HTML table with the window's
// cell colours, weights and sizes, the comparison graph with its key, and per
// runner a section (id "uma-01" ...) with its graph and legend, its
// head-to-head table, its runner panel and its per-run table, linked to the
// runners before and after it and to the top. Names in the tables link to the
// runners' sections. Graphs are "graph-01.svg" ... (graph box with the legend
// beside it) and "hikaku.svg", the comparison graph scaled to the figures, one
// file for every runner: "hikaku.svg#u05" draws runner 5 thick (hikaku_chart.h).
// Everything is drawn by the code that fills the window's views, or from the
// same store; every file is written atomically. The 馬柱 has a heading row and
// a key to its colours and the reference line's value. Once the race's results
// are in the journal, the rankings and the runners' headings show 着順 and 人気.
//
// Printed (A4), every page is headed by the race (date, course, race number,
// title); the rankings and the 馬柱 come first, the 馬柱 across the page
// width in 7 pt, then the comparison graph and two runners to a page; a
// runner's section and a runner's block of the 馬柱 stay on one page, and a
// heading stays with what follows it.
//
// A caller that reports a whole day writes one folder per race, links to each
// folder's index.html and fills each page's day navigation (kDayNavigation).

#include "app/message_sink.h"
#include "app/race_store.h"
#include "app/settings_values.h"
#include "app/status.h"
#include "journal/journal.h"
#include "output/report_grids.h"
#include "window/window_views.h"

#include <QString>

namespace marunoki {

// The name of the report's first page inside its folder.
inline const QString kReportIndex = QStringLiteral("index.html");

// The day navigation of a race's page, empty until a day's report fills it.
inline const QString kDayNavigation = QStringLiteral("<nav class=\"day\"></nav>");

// Writes the report of the race in `store` (after a load that went through) into
// `folder`, made when missing. Draws on views of its own; the store is only
// read. The report is written beside the folder and swapped in whole: a
// failure part-way leaves the old report as it was (see report_folder.h).
// Drawing messages go to `messages`. A failure names the file or folder.
// marks: the user's marks (印) of the race, shown in the ranking tables and
// beside each runner's heading; none shows no marks.
// results: the race's results once they are in, shown beside the figures.
Status writeRaceReport(const RaceStore &store, const Settings &settings, const QString &folder,
    MessageSink &messages, const MarksByNumber &marks = {}, const ResultsByNumber &results = {});

// The same on the views of an existing context (the window's, the command
// line's); the shown runner and view are drawn again afterwards.
Status writeRaceReport(ViewContext &context, const QString &folder, const MarksByNumber &marks = {},
    const ResultsByNumber &results = {});

// Whether a file name is one a report writes (index.html, hikaku.svg, graph-NN.svg).
bool isReportFileName(const QString &name);

// One grid as an HTML table: every cell with its colours, weight, size and
// alignment as the window shows them; a cell with text and a link from `links`
// holds a link. With blockRows > 0 every blockRows rows form a block that
// printing keeps on one page. With headings, a heading row names the columns
// (repeated on every printed page).
QString gridHtml(const CellGrid &grid, const QString &cssClass, const CellLinks &links = {},
    int blockRows = 0, const QStringList &headings = {});

}  // namespace marunoki
