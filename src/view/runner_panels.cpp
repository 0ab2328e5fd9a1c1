// The per-run grid, the head-to-head grid and the two panels beside the graph.
//
// NOTES ON THE DESIGN
// - The grids are filled through a CellWriter: a write outside the grid (a dated
//   run of index 36 or more, a runner count beyond the card's 18 slots) stops the
//   routine with its message and leaves the cells written before it.
// - A runner index outside the store's slots 0..18 is a failure of the routine,
//   reported the same way; nothing reads outside the store's tables.
// - fillRunGrid empties rows 1 to 35, every row it can write, so the rows of the
//   previous runner never show through under a runner with fewer runs. Only the
//   texts are emptied; the figure column's colour and bold are set again with
//   every text written there.
// - Both grids keep row 0, the header, as a fixed row (the grid control's default
//   of one fixed row; only "no fixed column" is asked for). A click on the header
//   therefore never selects a runner. The head-to-head grid's control also has a
//   focus rectangle that is switched off; a CellGrid has no selection to show, so
//   there is nothing to model for it.
// - The runner panel's text is returned whole; on failure the result is a null
//   QString and the caller keeps the panel's previous caption.

#include "view/runner_panels.h"

#include "app/format.h"
#include "view/cell_writer.h"
#include "view/view_text.h"

#include <array>

namespace marunoki {

namespace {

constexpr int kRunGridRows = 36;  // header + runs 1..35
constexpr int kRunGridCols = 21;
constexpr int kTaisenRows = 20;  // header, runners 1..18, totals
constexpr int kTaisenCols = 6;
constexpr int kTotalsRow = 19;
constexpr double kGridFontSize = 8;

const QChar kCr(13);

const QColor kBlack(0, 0, 0);
const QColor kGrey(128, 128, 128);  // a figure without the day's track variant
const QColor kTotalsYellow(255, 255, 0);  // colour 14 of the 16-colour palette

struct RunColumn {
    const char16_t *header;
    int width;  // twips; 0 = the grid's default
};

const std::array<RunColumn, kRunGridCols> &runColumns()
{
    static const std::array<RunColumn, kRunGridCols> columns = {{
        {u"date", 0},
        {u"場", 450},
        {u"Race名", 2430},
        {u"着順", 720},
        {u"指数", 405},
        {u"上がり", 405},
        {u"枠", 405},
        {u"馬番", 405},
        {u"距離", 720},
        {u"騎手", 810},
        {u"負担", 405},
        {u"馬場", 360},
        {u"time", 540},
        {u"差", 405},
        {u"上がり", 450},
        {u"馬体重", 450},
        {u"1ｺ", 405},
        {u"2ｺ", 405},
        {u"3ｺ", 405},
        {u"4ｺ", 405},
        {u"人気", 405},
    }};
    return columns;
}

QString plain(qint32 value)
{
    return QString::number(value);
}

// The course of a run: a central course code (1..10) by its name, anything else
// (a local course's name, an unknown code) as written.
QString courseText(const QString &zyo)
{
    const std::optional<double> code = toNumber(zyo);
    if (code && *code >= 1 && *code <= kCourseCount && *code == static_cast<int>(*code)) {
        return courseNames()[static_cast<size_t>(*code)];
    }
    return zyo;
}

// One row of the per-run grid, in the grid's own write order (0..13, 15, 14, 16..20).
void writeRunRow(const RaceStore &store, qint32 h, int r, CellWriter &w)
{
    w.text(r, 0, formatDate(store.horses[h].runs[r].date, QStringLiteral("yy/mm/dd")));
    w.text(r, 1, courseText(store.horses[h].runs[r].course));
    w.text(r, 2, store.horses[h].runs[r].raceName);
    w.text(r, 3,
        formatNumber(store.horses[h].runs[r].finish, QStringLiteral("00")) + u'/'
            + formatNumber(store.horses[h].runs[r].fieldSize, QStringLiteral("00")));
    w.text(r, 4, formatNumber(store.horses[h].runs[r].speedFigure, QStringLiteral("00")));
    w.foreground(r, 4, store.horses[h].runs[r].trackVariant != 0.0f ? kBlack : kGrey);
    w.bold(r, 4, true);
    if (store.horses[h].runs[r].last3fFigure != 0.0f) {
        w.text(r, 5, formatNumber(store.horses[h].runs[r].last3fFigure, QStringLiteral("00")));
    }
    w.text(r, 6, plain(store.horses[h].runs[r].bracket));
    w.text(r, 7, plain(store.horses[h].runs[r].horseNumber));
    w.text(r, 8,
        (store.horses[h].runs[r].surface == 1 ? QStringLiteral("芝") : QStringLiteral("ダ"))
            + plain(store.horses[h].runs[r].distance));
    w.text(r, 9, store.horses[h].runs[r].jockey);
    w.text(r, 10, plainNumber(store.horses[h].runs[r].weightCarried));
    w.text(r, 11, goingMark(store.horses[h].runs[r].going));
    w.text(r, 12, formatNumber(store.horses[h].runs[r].time, QStringLiteral("#0.0")));
    w.text(r, 13, formatNumber(store.horses[h].runs[r].margin, QStringLiteral("#0.0")));
    w.text(r, 15, plain(store.horses[h].runs[r].bodyWeight));
    w.text(r, 14, formatNumber(store.horses[h].runs[r].last3f, QStringLiteral("00.0")));
    for (int corner = 1; corner < kCornerSlots; ++corner) {
        const qint32 position = store.horses[h].runs[r].cornerPositions[corner];
        if (position > 0) {
            w.text(r, 15 + corner, plain(position));
        }
    }
    if (store.horses[h].runs[r].popularity > 0) {
        w.text(r, 20, plain(store.horses[h].runs[r].popularity));
    }
}

QString winRate(float wins, float losses)
{
    return formatNumber(
        static_cast<double>(wins) / (static_cast<double>(wins) + losses), QStringLiteral("0%"));
}

}  // namespace

void layOutRunGrid(CellGrid &grid, MessageSink &sink)
{
    grid.clear();
    grid.setRows(kRunGridRows);
    grid.setCols(kRunGridCols);
    grid.fixedCols = 0;
    grid.fixedRows = 1;
    grid.baseFontSize = kGridFontSize;
    CellWriter w(grid);
    for (int c = 0; c < kRunGridCols; ++c) {
        const RunColumn &column = runColumns()[static_cast<size_t>(c)];
        if (!grid.setColWidth(c, column.width > 0 ? column.width : CellGrid::kDefaultColumnWidth)) {
            w.fail();
        }
        w.text(0, c, QString::fromUtf16(column.header));
    }
    if (w.failed()) {
        sink.message(QStringLiteral("grid初期化エラー(err-AD11)"));
    }
}

void fillRunGrid(const RaceStore &store, qint32 runner, CellGrid &grid, MessageSink &sink)
{
    CellWriter w(grid);
    for (int r = 1; r < kRunGridRows; ++r) {
        for (int c = 0; c < kRunGridCols; ++c) {
            w.text(r, c, QString());
        }
    }
    if (!isRunnerSlot(runner)) {
        w.fail();
    }
    for (int r = 1; r <= kMaxRuns && !w.failed(); ++r) {
        if (store.horses[runner].runs[r].date > 0) {
            writeRunRow(store, runner, r, w);
        }
    }
    if (w.failed()) {
        sink.message(QStringLiteral("write_gridエラー(err-AD12)"));
    }
}

void fillHeadToHeadGrid(const RaceStore &store, qint32 runner, CellGrid &grid, MessageSink &sink)
{
    static const std::array<int, kTaisenCols> widths = {250, 1400, 400, 400, 500, 250};
    grid.clear();
    grid.baseFontSize = kGridFontSize;
    grid.fixedCols = 0;
    grid.fixedRows = 1;
    grid.setCols(kTaisenCols);
    grid.setRows(kTaisenRows);
    for (int c = 0; c < kTaisenCols; ++c) {
        grid.setColWidth(c, widths[static_cast<size_t>(c)]);
    }

    CellWriter w(grid);
    w.text(0, 2, QStringLiteral("勝"));
    w.text(0, 3, QStringLiteral("負"));
    w.text(0, 4, QStringLiteral("率"));
    for (int c = 0; c < kTaisenCols; ++c) {
        w.background(kTotalsRow, c, kTotalsYellow);
    }
    if (!isRunnerSlot(runner)) {
        w.fail();
    }
    for (qint32 k = 1; k <= store.fieldSize && !w.failed(); ++k) {
        if (k > kMaxRunners) {
            w.fail();  // a card of more than 18 runners: nothing to read for them
            break;
        }
        w.text(k, 0, plain(k));
        w.text(k, 1, store.horses[k].name);
        if (!store.horses[k].name.isEmpty() && k != runner) {
            const auto &record = store.horses[runner].headToHead[k];
            w.text(k, 2, plainNumber(record.ahead));
            w.text(k, 3, plainNumber(record.behind));
            if (record.ahead + record.behind > 0) {
                w.text(k, 4, winRate(record.ahead, record.behind));
            }
        }
    }
    if (!w.failed()) {
        const auto &totals = store.horses[runner].headToHead[0];
        w.text(kTotalsRow, 1, QStringLiteral("計"));
        w.text(kTotalsRow, 2, plainNumber(totals.ahead));
        w.text(kTotalsRow, 3, plainNumber(totals.behind));
        if (totals.ahead + totals.behind > 0) {
            w.text(kTotalsRow, 4, winRate(totals.ahead, totals.behind));
        }
    }
    if (w.failed()) {
        sink.message(QStringLiteral("taisen_gridエラー(err-AD13)"));
    }
}

QString writeRaceInfo(const RaceStore &store, MessageSink & /*sink: nothing here can fail*/)
{
    return store.raceTitle + kCr + store.raceConditions;
}

QString writeUmaInfo(const RaceStore &store, qint32 runner, MessageSink &sink)
{
    if (!isRunnerSlot(runner)) {
        sink.message(QStringLiteral("writeUmaInfoエラー(err-AD15)"));
        return {};
    }
    const qint32 h = runner;
    const QString twoDigits = QStringLiteral("00");
    QString text;
    text += plain(store.horses[h].runs[0].bracket) + QStringLiteral("枠") + plain(h) + QStringLiteral("番")
        + store.horses[h].name + kCr;
    text += QStringLiteral("　　　") + store.horses[h].runs[0].jockey + u'('
        + formatNumber(store.horses[h].runs[0].weightCarried, QStringLiteral("00.0")) + u')' + u' '
        + store.horses[h].sexAge + u' ' + store.horses[h].coatColour + kCr;
    text += QStringLiteral("父　 ") + store.horses[h].sire.left(20) + kCr;
    text += QStringLiteral("母父 ") + store.horses[h].damSire.left(20) + kCr;
    text += u' ' + QString(kCr);
    text += QStringLiteral("14ヶ月間  平均:") + formatNumber(store.horses[h].meanFigure.value, twoDigits)
        + QStringLiteral("　最高:") + formatNumber(store.horses[h].bestFigure.value, twoDigits) + kCr;
    text += QStringLiteral("近3ヶ月間 平均:")
        + formatNumber(store.horses[h].recentMeanFigure.value, twoDigits) + QStringLiteral("　最高:")
        + formatNumber(store.horses[h].recentBestFigure.value, twoDigits) + kCr;
    return text;
}

}  // namespace marunoki
