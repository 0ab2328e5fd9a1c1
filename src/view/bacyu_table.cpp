// The past-performance table (馬柱).
//
// NOTES ON THE DESIGN
// - Runner slot n owns rows b..b+4, b = (n - 1) * 5; past run k uses the figure
//   column f = 6 + 2 (k - 1) and the text column f + 1. Eighteen blocks fill the
//   90 rows exactly, so a cell outside the grid can only come from a fault; it
//   stops the draw with "bacyuエラー(err-BA01)" and leaves what was written.
// - The shading is a fixed pattern by slot, drawn before any runner, so empty
//   slots show it as well.
// - Text-column alignment is a property of the column: the five text columns are
//   left-aligned in every row, the others keep general alignment.
// - A mean figure of 0 means the runner has no figures; it takes no place in the
//   ranking colours even when fewer than three runners have a mean (the unused
//   places of topMeans are then 0 as well).

#include "view/bacyu_table.h"

#include "app/format.h"
#include "view/cell_writer.h"
#include "view/view_text.h"

#include <array>

namespace marunoki {

namespace {

constexpr int kCols = 16;
constexpr int kRows = 90;
constexpr int kBlockRows = kBacyuBlockRows;
constexpr int kShownRuns = kBacyuShownRuns;
constexpr double kBaseSize = 8;
constexpr double kSmallSize = 6;  // pedigree lines and the 上がり label

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kShade(0xE0, 0xE0, 0xE0);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kBlue(0x00, 0x00, 0xFF);

constexpr std::array<int, kCols> kWidths
    = {250, 250, 1500, 700, 400, 400, 400, 1800, 400, 1800, 400, 1800, 400, 1800, 400, 1800};
// Shaded columns of odd and of even runner slots, in the order they are shaded.
constexpr std::array<int, 8> kOddShade = {6, 7, 10, 11, 14, 15, 3, 1};
constexpr std::array<int, 7> kEvenShade = {8, 9, 12, 13, 4, 5, 2};

struct BracketColours {
    QColor background;
    QColor text;
};

// Colours of column 0 by today's bracket. Bracket 2 is black: the window-text
// colour of the standard desktop scheme.
BracketColours bracketColours(qint32 bracket)
{
    switch (bracket) {
    case 2:
        return {kBlack, kWhite};
    case 3:
        return {kRed, kWhite};
    case 4:
        return {kBlue, kWhite};
    case 5:
        return {QColor(0xFF, 0xFF, 0x80), kBlack};
    case 6:
        return {QColor(0x00, 0xC0, 0x00), kBlack};
    case 7:
        return {QColor(0xFF, 0x80, 0x00), kBlack};
    case 8:
        return {QColor(0xFF, 0xC0, 0xC0), kBlack};
    default:
        return {kWhite, kBlack};
    }
}

QString plain(qint32 value)
{
    return QString::number(value);
}

void layOut(CellGrid &grid)
{
    grid.setCols(kCols);
    grid.setRows(kRows);
    grid.baseFontSize = kBaseSize;
    grid.fontName = QStringLiteral("ＭＳ Ｐゴシック");
    grid.wordWrap = false;
    grid.fixedCols = 0;
    grid.fixedRows = 0;
    grid.gridLines = false;
    for (int c = 0; c < kCols; ++c) {
        grid.setColWidth(c, kWidths[static_cast<size_t>(c)]);
    }
    grid.clear();
    for (int row = 0; row < kRows; ++row) {
        for (int t = 7; t < kCols; t += 2) {
            grid.at(row, t)->align = CellAlign::LeftCenter;
        }
    }
}

template <size_t N>
void shadeSlots(CellWriter &w, int firstSlot, const std::array<int, N> &columns)
{
    for (int n = firstSlot; n <= kMaxRunners; n += 2) {
        const int b = (n - 1) * kBlockRows;
        for (int col : columns) {
            for (int row = b; row < b + kBlockRows; ++row) {
                w.background(row, col, kShade);
            }
        }
    }
}

// Column 0: the bracket number at its first runner, the bracket colours on all
// five rows.
void writeBracket(const RaceStore &store, int n, int b, CellWriter &w)
{
    const qint32 bracket = store.horses[n].runs[0].bracket;
    if (n == 1 || bracket != store.horses[n - 1].runs[0].bracket) {
        w.text(b, 0, plain(bracket));
    }
    const BracketColours colours = bracketColours(bracket);
    for (int row = b; row < b + kBlockRows; ++row) {
        w.background(row, 0, colours.background);
        w.foreground(row, 0, colours.text);
    }
}

void writeIdentity(const RaceStore &store, int n, int b, CellWriter &w)
{
    w.text(b, 1, plain(n));
    w.text(b + 1, kBacyuNameColumn, store.horses[n].name);
    w.bold(b + 1, kBacyuNameColumn, true);
    w.text(b + 2, 2, QStringLiteral("  父 ") + store.horses[n].sire);
    w.fontSize(b + 2, 2, kSmallSize);
    w.text(b + 3, 2, QStringLiteral("  母 ") + store.horses[n].dam);
    w.fontSize(b + 3, 2, kSmallSize);
}

// Column 3: today's jockey (red when not the rider of the last run), weight
// carried, body weight, sex and age.
void writeToday(const RaceStore &store, int n, int b, CellWriter &w)
{
    const QString &jockey = store.horses[n].runs[0].jockey;
    w.text(b + 1, 3, jockey);
    w.text(b + 2, 3, formatNumber(store.horses[n].runs[0].weightCarried, QStringLiteral("00.0")));
    w.text(b + 3, 3, plain(store.horses[n].runs[0].bodyWeight));
    w.text(b, 3, store.horses[n].sexAge);
    const bool changed = jockey.left(3) != store.horses[n].runs[1].jockey.left(3);
    w.foreground(b + 1, 3, changed ? kRed : kBlack);
}

void writeStatistics(const RaceStore &store, int n, int b, CellWriter &w)
{
    const float mean = store.horses[n].meanFigure.value;
    w.text(b, 4, figureText(mean));
    w.text(b + 1, 4, figureText(store.horses[n].recentMeanFigure.value));
    w.text(b, 5, formatNumber(store.horses[n].bestFigure.value, QStringLiteral("00")));
    w.text(b + 1, 5, formatNumber(store.horses[n].recentBestFigure.value, QStringLiteral("00")));

    QColor colour = kBlack;
    bool bold = false;
    if (mean != 0.0f) {
        if (mean == store.topMeans[1]) {
            colour = kRed;
            bold = true;
        } else if (mean == store.topMeans[2]) {
            colour = kBlue;
            bold = true;
        } else if (mean == store.topMeans[3]) {
            colour = kBlue;
        }
    }
    w.foreground(b, 4, colour);
    w.bold(b, 4, bold);
}

void writeStyleAndRecord(const RaceStore &store, int n, int b, CellWriter &w)
{
    const float style = store.horses[n].runningStyle.value;
    w.text(b + 3, 4, runningStyleMark(style));
    w.text(b + 3, 5, formatNumber(style, QStringLiteral("##.0")));

    const float wins = store.horses[n].headToHead[0].ahead;
    const float losses = store.horses[n].headToHead[0].behind;
    if (wins + losses > 0) {
        w.text(b + 4, 3,
            formatNumber(
                static_cast<double>(wins) / (static_cast<double>(wins) + losses), QStringLiteral("0%")));
    }
    w.text(b + 4, 4, plainNumber(wins));
    w.text(b + 4, 5, plainNumber(losses));
}

void writeRun(const RaceStore &store, float referenceFigure, int n, int k, int b, CellWriter &w)
{
    const int t = bacyuRunTextColumn(k);
    const int f = t - 1;
    const float figure = store.horses[n].runs[k].speedFigure;
    w.text(b, f, figureText(figure));
    w.bold(b, f, true);
    w.foreground(b, f, figure > referenceFigure ? kRed : kBlack);
    if (store.horses[n].runs[k].last3fFigure != 0.0f) {
        w.text(b + 1, f, QStringLiteral("上がり"));
        w.fontSize(b + 1, f, kSmallSize);
        w.bold(b + 1, f, false);
        w.text(b + 2, f, figureText(store.horses[n].runs[k].last3fFigure));
        w.bold(b + 2, f, false);
    }

    const QString surface = store.horses[n].runs[k].surface == 1 ? QStringLiteral("芝") : QString();
    w.text(b, t,
        store.horses[n].runs[k].course + u' '
            + formatDate(store.horses[n].runs[k].date, QStringLiteral("mmdd")) + u' '
            + goingMark(store.horses[n].runs[k].going) + u' ' + surface
            + plain(store.horses[n].runs[k].distance));
    w.text(b + 1, t, store.horses[n].runs[k].raceName);
    w.fontSize(b + 1, t, kBaseSize - 1);
    w.text(b + 2, t,
        plain(store.horses[n].runs[k].finish) + u'/' + plain(store.horses[n].runs[k].fieldSize) + u' '
            + plain(store.horses[n].runs[k].popularity) + QStringLiteral("人 ")
            + store.horses[n].runs[k].jockey + u' ' + plainNumber(store.horses[n].runs[k].weightCarried));
    QString weights = plain(store.horses[n].runs[k].horseNumber) + QStringLiteral("番 ")
        + plain(store.horses[n].runs[k].bodyWeight);
    if (store.horses[n].runs[k].last3f != 0.0f) {
        weights
            += QStringLiteral("　  ") + formatNumber(store.horses[n].runs[k].last3f, QStringLiteral("00.0"));
    }
    w.text(b + 3, t, weights);
    const auto &corners = store.horses[n].runs[k].cornerPositions;
    w.text(b + 4, t,
        plainNumber(store.horses[n].runs[k].time) + u'(' + plainNumber(store.horses[n].runs[k].margin)
            + QStringLiteral(")  ") + plain(corners[1]) + u'-' + plain(corners[2]) + u'-' + plain(corners[3])
            + u'-' + plain(corners[4]));
}

void writeRunner(const RaceStore &store, int n, CellWriter &w)
{
    const int b = (n - 1) * kBlockRows;
    writeBracket(store, n, b, w);
    writeIdentity(store, n, b, w);
    writeToday(store, n, b, w);
    writeStatistics(store, n, b, w);
    writeStyleAndRecord(store, n, b, w);
    for (int k = 1; k <= kShownRuns; ++k) {
        if (store.horses[n].runs[k].date > 0) {
            writeRun(store, store.referenceFigure, n, k, b, w);
        }
    }
}

}  // namespace

void drawBacyu(const RaceStore &store, CellGrid &grid, MessageSink &sink)
{
    grid.visible = true;
    layOut(grid);

    CellWriter w(grid);
    shadeSlots(w, 1, kOddShade);
    shadeSlots(w, 2, kEvenShade);
    for (int n = 1; n <= kMaxRunners && !w.failed(); ++n) {
        if (!store.horses[n].name.isEmpty()) {
            writeRunner(store, n, w);
        }
    }
    if (w.failed()) {
        sink.message(QStringLiteral("bacyuエラー(err-BA01)"));
    }
}

}  // namespace marunoki
