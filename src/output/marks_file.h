#pragma once
// The marks file: the journal's marks as a CSV file, for users who keep their
// marks in a spreadsheet, and such a file placed back on the journal.
//
// NOTES ON THE DESIGN
// - One row per mark: 日付,場,レース,馬番,印,サイト ("2026-11-29,東京,11,3,◎,1"),
//   a header row first. Read back: a date as YYYY-MM-DD or YYYY/M/D (a
//   spreadsheet's own form), a course by name or two-digit code, the mark as
//   its symbol or "-" to clear it, the site 1 or 2. Fields may be quoted; blank
//   lines are skipped.
// - A row is matched to the journal by date, course and race number: the race
//   as a user knows it, without the meeting and day. The runner number then
//   names the runner of the recorded card, and the mark is keyed by that
//   runner's page address like one set in the window.
// - A race read from both sites is two races in the journal, each with marks
//   of its own. The export writes each site's marks with the site, so export
//   then import gives every mark back where it was. A row without the site (a
//   file of five columns, as the user may write one) marks the runner in
//   every record of the race.
// - ◎ ○ ▲ name one horse of a race each (isSingleMark): a file giving one of
//   them to two runners of a race is malformed; a row giving one to a runner
//   moves it from the runner of the journal that held it.
// - A mark follows its horse: the export writes the horse's number on the
//   recorded card, which may have changed since the mark was set (a row left
//   by the horse's old number gives way to one set on its own number), and
//   leaves out the marks of horses no longer on the card, which no number
//   could place again without moving them to another horse.
// - Export: the program's CSV encoding (CP932), CRLF, written atomically.
// - Import: a file that is not a marks file (a row with the wrong number of
//   columns, a line that does not decode, a bad date, course, number or mark)
//   changes nothing and names its first bad line. Otherwise every row that
//   cannot be placed (the race is not in the journal, the runner is not on its
//   card) is named with its line and why, and all the others are set in one
//   transaction. Two rows for one runner: the later one counts.

#include "app/atomic_file.h"
#include "app/status.h"
#include "journal/journal.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace marunoki {

// One row of a marks file as read.
struct MarkFileRow {
    int line = 0;  // 1-based line of the file
    QDate date;
    QString course;  // code "01".."10"
    int race = 0;
    int number = 0;
    std::optional<Mark> mark;  // nothing = clear
    std::optional<int> site;  // nothing = every site's record of the race
};

struct [[nodiscard]] MarkFileRows {
    std::vector<MarkFileRow> rows;
    QString error;  // the first bad line and what is wrong with it; empty = read
};

// The rows of a file's bytes (UTF-8 or CP932, decoded as the settings file is).
MarkFileRows readMarkRows(const QByteArray &bytes);

// The file's text (before encoding): the header and one row per horse marked
// that is on its race's recorded card.
QString marksCsvText(const std::vector<KeyedMark> &marks);

struct [[nodiscard]] MarksExport {
    int rows = 0;
    Status status = Status::success();
};
// Writes the journal's marks to path.
MarksExport exportMarks(Journal &journal, const QString &path, const FileSystem &files = systemFileSystem());

struct UnplacedRow {
    int line = 0;
    QString why;  // in Japanese, naming the row's race and runner
};

struct [[nodiscard]] MarksImport {
    int placed = 0;  // rows set on at least one race of the journal
    std::vector<UnplacedRow> unplaced;
    // Failure: nothing was changed (a malformed file, the journal not written).
    Status status = Status::success();
};
// The changes, each mark set preceded by clearing the rows its horse kept
// under another number of the race (set before the card changed), so that a
// horse never holds two marks, as the window keeps it.
Result<std::vector<MarkChange>> withOldNumbersCleared(
    Journal &journal, const std::vector<MarkChange> &changes);

// Told every few thousand rows how many of the file's rows were placed so far.
using ImportProgress = std::function<void(qsizetype done, qsizetype total)>;

// Places the rows of the file's bytes on the journal (see the design notes),
// in time linear in the rows: one lookup per race, one transaction.
MarksImport importMarks(Journal &journal, const QByteArray &bytes, const ImportProgress &progress = {});

}  // namespace marunoki
