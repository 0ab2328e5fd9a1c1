#pragma once
// The tally as the 成績集計 window shows it: the filter chosen with the
// window's controls as a typed request (the same TallyRequest the command
// line's options make), and the tally of the journal as the 回収率 line, the
// conditions and range, one grid per table with its bar chart, the favourite
// line and the footer ("結果待ち N レース").
//
// The numbers come from tallyOfJournal, as the command line's tally, and the
// cells from tallyCells; the charts are the HTML page's. tallyViewOf only
// reads the journal file: the window runs it on a thread of its own.

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
    int group = 0;  // index into tallyGroupChoices()
};

// The choices of the table box: "すべて" first (every figure and popularity),
// then the --by keys, each with its caption.
struct TallyByChoice {
    QString caption;  // "平均指数" ...
    QString key;  // "mean" ...; empty for every table
};
const std::vector<TallyByChoice> &tallyByChoices();

// The choices of the group box: "なし" first, then each --group value.
struct TallyGroupChoice {
    QString caption;  // "競馬場別" ...
    TallyGroup group = TallyGroup::None;
};
const std::vector<TallyGroupChoice> &tallyGroupChoices();

// Bounds a range box never passes; a range with one bound only takes the
// other from here.
constexpr int kTallyMaxDistance = 4000;
constexpr int kTallyMaxRunners = 18;

// The form as a request: the filter of its choices (a range with a missing
// upper bound goes to the largest one, bounds the wrong way round are
// swapped; a choice outside its box filters nothing), the tables and the group.
// The preferred site is the caller's to set.
TallyRequest tallyRequestOf(const TallyForm &form);

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

// The tally of the journal file at journalPath for the request; a request
// with an error is that one message.
TallyView tallyViewOf(const QString &journalPath, const TallyRequest &request);

}  // namespace marunoki
