#pragma once
// Cell rules the site readers share: finding landmark rows, reading the cells of
// a past-performance row, and the status line of a history load.
//
// NOTES ON THE DESIGN
// - The readers take every value from a fixed cell of the page table. A value the
//   page does not supply leaves its race-store field at the reset value.
// - A conversion that the readers treat as a parse failure (a time part that is
//   not a number, a number too large for its field) is reported as a value
//   (std::nullopt or false); the reader then shows its own coded message and ends
//   its parse at that field, with everything filled before it kept.
// - Positions in comments are 1-based characters, the way the sites' texts are
//   described ("characters 2..5"); the code works on 0-based QString indices.

#include "web/page_table.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace marunoki {

class MessageSink;
class RaceStore;

// The first row in from..to (inclusive) whose cell in column col satisfies the
// test, or -1.
int firstRow(
    const PageTable &table, int col, int from, int to, const std::function<bool(const QString &)> &test);

// The card's runner rows from row `from` on, every `step` rows, while a row has
// a name (column nameCol) and a horse-number cell of at most four characters
// (column numberCol; any text, the count stopped at it; the first row's may be
// empty): the rows a card's count
// left out at a break in its horse numbers (a gap, a duplicate, a nineteenth
// runner, a scratched runner's mark). They are named in one message ("6番
// <name>") and kept in the store's gaps, so that the load is reported
// incomplete. Call with fieldSize set.
void noteRunnersLeftOut(const PageTable &table, int from, int step, int numberCol, int nameCol,
    RaceStore &store, MessageSink &messages);

// True when the day d lies in the 420 days before the race, both ends excluded:
// raceDate - 420 < d < raceDate.
bool inDateWindow(double d, double raceDate);

// Surface code of a course cell (芝1600, ダ1200): 1 turf, 0 dirt, 2 anything else.
qint32 surfaceCode(const QString &courseCell);

// Characters 2..5 of a course cell as a distance (ダ1200 -> 1200), when they form
// a number. Nothing otherwise.
std::optional<qint32> courseDistance(const QString &courseCell);

// Outcome of reading one numeric cell into a field.
enum class [[nodiscard]] CellRead {
    Kept,  // not a number: the field keeps its value
    Set,  // the field took the cell's value
    Failed,  // a number the field cannot hold: a parse failure
};

// "If a number": a numeric cell converted to a whole number (halves to even).
CellRead readWhole(const QString &cell, qint32 &field);
// "If a number": a numeric cell as a float (seconds, kg).
CellRead readSingle(const QString &cell, float &field);

// Weight carried: the cell if a number, else the cell without its last character
// if that is a number (57☆ -> 57, a weight followed by one mark).
CellRead readCarried(const QString &cell, float &field);

// Corner positions "3-3-2-1" into corners[1..4]. Corner k takes the part before
// the k-th "-"; a part that is not a number is passed over but uses up its
// corner; the part after the last "-" (the whole cell without "-") goes to the
// next corner and ends the cell. At most four corners are filled.
CellRead readCorners(const QString &cell, std::array<qint32, 5> &corners);

// A finishing time from its parts as text: minutes x 60 + seconds + tenth / 10
// (1, 34, 5 -> 94.5). Nothing when a part is not a number, which the readers
// treat as a parse failure of the cell.
std::optional<float> composeTime(const QString &minutes, const QString &seconds, const QString &tenth);
// The same without minutes: seconds + tenth / 10 (58, 7 -> 58.7).
std::optional<float> composeTime(const QString &seconds, const QString &tenth);

// A number text as a float, nothing when it is not a number or too large.
std::optional<float> toSingle(const QString &text);

// The profile row of a horse page: the first row in 0..39 whose first cell begins
// with "生年月日", or -1.
int profileRow(const PageTable &table);

// Columns of the result-row cells both sites print, each read the same way.
struct ResultColumns {
    int fieldSize, waku, no, ninki, cyaku;  // whole numbers, "if a number"
    int kisyu;  // jockey, spaces removed
    int hutan;  // weight carried, maybe with a mark
};

// Reads those cells of a result row into run `run` of runner n, the numbers in
// column order. False on a failure; the fields read before it stay.
bool readSharedCells(
    const PageTable &table, int row, const ResultColumns &cols, int n, int run, RaceStore &store);

// Reads the result rows of a history page: of the rows h+1..h+80, those whose
// first cell is a date in the 420-day window fill runs 1, 2, ... through
// readRun(row, date, run) for runner n, within the 420 days
// before store.raceDate. A row that readRun reports as failed is marked
// (rowFailed), shows failureMessage and ends the reading (the fields it set
// stay); when the 49th run
// has been filled, "全て読み込み出来ませんでした" ends it.
void readResultRows(const PageTable &table, int h, RaceStore &store, qint32 n, MessageSink &messages,
    const QString &failureMessage, const std::function<bool(int row, double date, int run)> &readRun);

// The history readers' status line: runner and field size as two digits, the
// horse's name and the fixed text ("03/16 ディープインパクト成績読込み中・・・").
QString runnerStatusLine(const RaceStore &store, qint32 n);

}  // namespace marunoki
