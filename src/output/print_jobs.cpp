#include "output/print_jobs.h"

#include "output/report_parts.h"
#include "view/cell_grid.h"
#include "view/graph_view.h"

#include <algorithm>

namespace marunoki {

namespace {

const QString kCannotPrint = QStringLiteral("印刷できません");
const QString kSecondPage = QStringLiteral("2ページ目を印刷します");

constexpr double kCellWidth = 3800;
constexpr double kCellHeight = 2700;
constexpr double kCellsTop = 200;
constexpr int kCellsPerRow = 4;
constexpr double kTitlePoints = 5;
constexpr double kTableLeft = 0;
constexpr double kTableTop = 500;
constexpr double kTableTitleTop = 250;
constexpr double kTableWidthScale = 0.75;
constexpr double kTableHeightScale = 0.7;

// Keeps the wait cursor on for as long as it lives.
class BusyScope {
public:
    explicit BusyScope(const BusyIndicator &busy)
        : busy_(busy)
    {
        if (busy_)
            busy_(true);
    }
    ~BusyScope()
    {
        if (busy_)
            busy_(false);
    }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    const BusyIndicator &busy_;
};

// The cell of runner n: row by row, four to a row; the second page counts from
// runner 17.
QRectF graphCell(qint32 first, qint32 n)
{
    const qint32 index = (first > kGraphsPerPage ? n - kGraphsPerPage : n) - 1;
    const qint32 i = index / kCellsPerRow;
    const qint32 j = index - kCellsPerRow * i;
    return QRectF(j * kCellWidth, i * kCellHeight + kCellsTop, kCellWidth, kCellHeight);
}

bool finish(PrintDevice &printer, MessageSink &messages)
{
    const Status ended = printer.end();
    if (ended.ok())
        return true;
    messages.detailedMessage(kCannotPrint, ended.message());
    return false;
}

}  // namespace

QString printedTitle(const RaceStore &store, const QString &raceInfo)
{
    QStringList lines = captionLines(raceInfo);
    if (!lines.isEmpty())
        lines[0] = raceHeadingOf(store, raceInfo);
    return lines.join(u'\u3000');
}

void printGraph(ViewContext &context, PrintDevice &printer, const BusyIndicator &busy)
{
    const RaceStore &store = context.store;
    const qint32 shown = context.views.shownRunner;
    const DrawnView view = context.views.drawn;

    if (store.fieldSize > kGraphsPerPage) {
        printGraphPage(context, printer, 1, kGraphsPerPage, busy);
        context.messages.message(kSecondPage);
        printGraphPage(context, printer, kGraphsPerPage + 1, store.fieldSize, busy);
    } else {
        printGraphPage(context, printer, 1, store.fieldSize, busy);
    }

    // Back to the runner and the view the user was looking at.
    if (shown >= 1 && shown <= store.fieldSize) {
        context.views.shownRunner = shown;
        context.views.drawn = view;
        redrawAfterRunnerChange(context);
    }
}

bool printGraphPage(
    ViewContext &context, PrintDevice &printer, qint32 first, qint32 last, const BusyIndicator &busy)
{
    const RaceStore &store = context.store;
    WindowViews &views = context.views;
    const BusyScope wait(busy);
    if (const Status begun = printer.begin(PageOrientation::Landscape); !begun.ok()) {
        context.messages.detailedMessage(kCannotPrint, begun.message());
        return false;
    }

    for (const qint32 n : store.runners()) {
        if (n < first || n > last)
            continue;
        views.shownRunner = n;
        showGraph(context);
        printer.drawPicture(views.graphBox, graphCell(first, n));
    }

    // The legend shrunk by the factors the graphs were shrunk by, so its rows
    // stay level with the values they explain.
    if (views.graphBox.width() > 0 && views.graphBox.height() > 0) {
        const double sx = kCellWidth / views.graphBox.width();
        const double sy = kCellHeight / views.graphBox.height();
        printer.drawPicture(views.legendBox,
            QRectF(kCellsPerRow * kCellWidth, kCellsTop, views.legendBox.width() * sx,
                views.legendBox.height() * sy));
    }

    printer.text(0, 0, printedTitle(store, views.raceInfo), kTitlePoints);
    return finish(printer, context.messages);
}

bool printBacyu(ViewContext &context, PrintDevice &printer, const BusyIndicator &busy)
{
    WindowViews &views = context.views;
    if (!views.bacyuGrid.visible)
        switchToBacyu(context);

    const BusyScope wait(busy);
    const CellGrid &table = views.bacyuGrid;
    const double width = table.totalWidth();
    const double height = double(table.rows()) * CellGrid::kRowHeight;
    if (width <= 0 || height <= 0) {
        context.messages.detailedMessage(kCannotPrint, QStringLiteral("印刷する表がありません"));
        return false;
    }
    if (const Status begun = printer.begin(PageOrientation::Portrait); !begun.ok()) {
        context.messages.detailedMessage(kCannotPrint, begun.message());
        return false;
    }
    // The whole table, every row and column at full size whatever the window
    // shows, drawn as text and lines so that it stays sharp at any zoom.
    printer.drawGrid(
        table, QRectF(kTableLeft, kTableTop, width * kTableWidthScale, height * kTableHeightScale));
    printer.text(0, kTableTitleTop, printedTitle(context.store, views.raceInfo), kTitlePoints);
    return finish(printer, context.messages);
}

}  // namespace marunoki
