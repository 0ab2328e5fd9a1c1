#pragma once
// A browsable report of one loaded race, for a reader with a browser and no
// window: a folder holding index.html and the graphs as SVG files.
//
// index.html (UTF-8, no script, opens from the file system) has the race title
// and conditions, the past-performance table as an HTML table with the window's
// cell colours, weights and sizes, the comparison graph, and per runner a
// section (id "uma-01" ...) with its graph and legend, its runner panel, its
// per-run table and its head-to-head table, linked to the runners before and
// after it and to the top. Graphs are "graph-01.svg" ... (graph box with the
// legend beside it) and "hikaku.svg" (the comparison graph), vector drawing so
// they stay sharp at any zoom. Everything is drawn by the code that fills the
// window's views; every file is written atomically.
//
// A caller that reports a whole day writes one folder per race and links to
// each folder's index.html.

#include "app/message_sink.h"
#include "app/race_store.h"
#include "app/settings_values.h"
#include "app/status.h"
#include "window/window_views.h"

#include <QString>

namespace marunoki {

// The name of the report's first page inside its folder.
inline const QString kReportIndex = QStringLiteral("index.html");

// Writes the report of the race in `store` (after a load that went through) into
// `folder`, made when missing. Draws on views of its own; the store is only
// read. The report is written beside the folder and swapped in whole: a
// failure part-way leaves the old report as it was (see report_folder.h).
// Drawing messages go to `messages`. A failure names the file or folder.
Status writeRaceReport(
    const RaceStore &store, const Settings &settings, const QString &folder, MessageSink &messages);

// The same on the views of an existing context (the window's, the command
// line's); the shown runner and view are drawn again afterwards.
Status writeRaceReport(ViewContext &context, const QString &folder);

// Whether a file name is one a report writes (index.html, hikaku.svg, graph-NN.svg).
bool isReportFileName(const QString &name);

// One grid as an HTML table: every cell with its colours, weight, size and
// alignment as the window shows them.
QString gridHtml(const CellGrid &grid, const QString &cssClass);

}  // namespace marunoki
