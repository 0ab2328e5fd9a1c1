#pragma once
// The tally as the 成績集計 window shows it: the filter chosen with the
// window's controls turned into the same options the command line types, and
// the tally of the journal as one grid per table with its bar chart, the
// favourite line and the footer ("結果待ち N レース").
//
// The numbers come from parseTallyRequest and tallyOfJournal, as the command
// line's tally, and the cells from tallyCells; the charts are the HTML page's.

#include "app/status.h"
#include "journal/tally_request.h"
#include "view/cell_grid.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace marunoki {

// The window's controls. 0 in a choice is "すべて"; 0 as a bound is no bound.
struct TallyForm {
    std::optional<QDate> from, to;
    int site = 0;  // 1, 2
    int course = 0;  // course index 1..10
    int surface = 0;  // 1 芝, 2 ダ
    int distanceLow = 0, distanceHigh = 0;  // metres
    int runnersLow = 0, runnersHigh = 0;  // field size
    int by = 0;  // index into tallyByChoices()
};

// The choices of the table box: "すべて" first (every figure and popularity),
// then the --by keys, each with its caption.
struct TallyByChoice {
    QString caption;  // "平均指数" ...
    QString key;  // "mean" ...; empty for every table
};
const std::vector<TallyByChoice> &tallyByChoices();

// Bounds a range box never passes; a range with one bound only takes the
// other from here.
constexpr int kTallyMaxDistance = 4000;
constexpr int kTallyMaxRunners = 18;

// The form as the command line's options: "2026-01-01", "1", "05", "芝",
// "1200-1800" (a missing upper bound is the largest one, bounds the wrong way
// round are swapped), "mean" ...
TallyOptions tallyOptionsOf(const TallyForm &form);

struct TallyTableView {
    QString caption;
    CellGrid grid;  // the column heads, then one row per rank or mark
    QByteArray chartSvg;  // the HTML page's bar chart of the table
    QString favourite;  // empty when the table has none
};

struct [[nodiscard]] TallyView {
    QString headline;  // the top figure's 単勝回収率 against the favourite's
    QString conditions;  // "条件: ..." and the range of dates counted
    std::vector<TallyTableView> tables;
    QString footer;  // "集計 40 レース　結果待ち 12 レース ..."
    // A filter that is none, a missing journal, one that will not open: the
    // one message to show (tables and footer then empty).
    Status status = Status::success();
};

// The tally of the journal file at journalPath for the options.
TallyView tallyViewOf(const QString &journalPath, const TallyOptions &options);

}  // namespace marunoki
