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
// beside it), "hikaku.svg" (the comparison graph with runner 1 emphasised and
// each line tagged with its number) and "hikaku-01.svg" ... (the same with
// each runner emphasised, the key inside the picture), vector drawing so they
// stay sharp at any zoom. Everything is drawn by the code that fills the
// window's views; every file is written atomically.
//
// Printed (A4), the wide tables are scaled to the page width, a runner's
// section and a runner's block of the 馬柱 stay on one page, and a heading
// stays with what follows it.
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
Status writeRaceReport(const RaceStore &store, const Settings &settings, const QString &folder,
    MessageSink &messages, const MarksByNumber &marks = {});

// The same on the views of an existing context (the window's, the command
// line's); the shown runner and view are drawn again afterwards.
Status writeRaceReport(ViewContext &context, const QString &folder, const MarksByNumber &marks = {});

// Whether a file name is one a report writes (index.html, hikaku.svg, graph-NN.svg).
bool isReportFileName(const QString &name);

// One grid as an HTML table: every cell with its colours, weight, size and
// alignment as the window shows them; a cell with text and a link from `links`
// holds a link. With blockRows > 0 every blockRows rows form a block that
// printing keeps on one page.
QString gridHtml(
    const CellGrid &grid, const QString &cssClass, const CellLinks &links = {}, int blockRows = 0);

}  // namespace marunoki
