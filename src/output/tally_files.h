#pragma once
// The journal's tally as files: a CSV file in the program's CSV encoding, and a
// folder with index.html (the tables, no script, the race report's look) and
// one SVG bar chart per table ("tally-1.svg" ...) of its 勝率, 連対率 and 複勝率
// by row. Every file is written atomically; a failure names the file.

#include "app/atomic_file.h"
#include "app/status.h"
#include "journal/tally.h"

#include <QString>

namespace marunoki {

// The CSV text as data: one header row, then one line per row of every table
// with the table, its kind, the group, the row's label, the counts, the rates
// and their 95 % intervals and 単勝回収率 as plain numbers (percent, no "%"),
// the 参考 flag (1 below 30 runners), the first and last race counted and
// each condition in its own column. CRLF.
QString tallyCsvText(const Tally &tally);
Status writeTallyCsv(const QString &path, const Tally &tally, const FileSystem &files = systemFileSystem());

// One table's bar chart as SVG.
QByteArray tallyChartSvg(const TallyTable &table);

// Whether the tally may be written into folder: a folder missing, empty or
// holding only a tally's own files (index.html with the tally page's title,
// tally-N.svg) is; one holding anything else (a report's index.html, the
// user's files, a link) is refused with a message naming the first such file.
Status tallyFolderCheck(const QString &folder);

// index.html and the charts into folder (made when missing; refused as
// tallyFolderCheck says): the 回収率 line, the conditions and the range, each
// table with its rates' 95 % intervals and its chart, the footer.
Status writeTallyHtml(
    const QString &folder, const Tally &tally, const FileSystem &files = systemFileSystem());

// The folder beside a day's report that holds the journal's tally page.
inline const QString kTallyFolder = QStringLiteral("tally");

// The tally of every race in the journal at journalPath (a missing file is
// said, not made) as writeTallyHtml writes it into folder.
Status writeJournalTally(const QString &journalPath, const QString &folder);

}  // namespace marunoki
