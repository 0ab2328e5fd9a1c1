// The past-performance table of a full 18-runner race: drawBacyu fills the grid
// and gridImage renders the whole table as the table printing needs it (96 dpi,
// 967 x 1440 pixels).
//
// Two ways are measured per table:
// - BM_DrawBacyuImage: the program's way. drawBacyu into the window's grid, then
//   gridImage: backgrounds filled a row run at a time, one font per size and
//   weight, font and pen changed only when a cell needs another, empty cells
//   skipped.
// - BM_DrawBacyuImageCellByCell: the same fill, then every cell painted on its
//   own with a freshly made font, its own background rectangle and its text, the
//   straightforward way, for comparison.

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "view/bacyu_table.h"
#include "view/grid_render.h"

#include "gui_benchmark_main.h"

#include <benchmark/benchmark.h>

#include <QPainter>

#include <memory>

using namespace marunoki;

namespace {

constexpr int kDpi = 96;
constexpr int kRuns = 12;  // more than the five the table shows

// 18 runners, each with a full history and statistics.
void fillRace(RaceStore &store)
{
    store.clearForLoad();
    const double raceDay = *serialFromYmd(2026, 11, 29);
    store.raceDate = raceDay;
    store.fieldSize = kMaxRunners;
    store.referenceFigure = 72;
    store.topMeans = {0, 80, 78, 76};
    for (int n = 1; n <= kMaxRunners; ++n) {
        store.horses[n].name = QStringLiteral("ベンチホース%1").arg(n);
        store.horses[n].sexAge = QStringLiteral("牡%1").arg(3 + n % 4);
        store.horses[n].sire = QStringLiteral("チチウマ%1").arg(n);
        store.horses[n].dam = QStringLiteral("ハハウマ%1").arg(n);
        store.horses[n].runs[0].bracket = (n + 1) / 2 > 8 ? 8 : (n + 1) / 2;
        store.horses[n].runs[0].jockey = QStringLiteral("騎手%1").arg(n % 7);
        store.horses[n].runs[0].weightCarried = 55.0f + static_cast<float>(n % 3);
        store.horses[n].runs[0].bodyWeight = 460 + n;
        store.horses[n].meanFigure = {64.0f + static_cast<float>(n), 6};
        store.horses[n].recentMeanFigure = {62.0f + static_cast<float>(n), 2};
        store.horses[n].bestFigure = {70.0f + static_cast<float>(n), 6};
        store.horses[n].recentBestFigure = {66.0f + static_cast<float>(n), 2};
        store.horses[n].runningStyle = {0.5f * static_cast<float>(n % 14), 6};
        store.horses[n].headToHead[0] = {static_cast<float>(n % 5), static_cast<float>(n % 3)};
        for (int r = 1; r <= kRuns; ++r) {
            store.horses[n].runs[r].date = raceDay - 21.0 * r;
            store.horses[n].runs[r].course = QStringLiteral("0%1").arg(5 + r % 4);
            store.horses[n].runs[r].raceName = QStringLiteral("ベンチステークス%1").arg(r);
            store.horses[n].runs[r].distance = 1600 + 200 * (r % 4);
            store.horses[n].runs[r].surface = r % 3 == 0 ? 0 : 1;
            store.horses[n].runs[r].going = 1 + r % 4;
            store.horses[n].runs[r].fieldSize = 16;
            store.horses[n].runs[r].finish = 1 + (n + r) % 16;
            store.horses[n].runs[r].popularity = 1 + (n * r) % 16;
            store.horses[n].runs[r].horseNumber = 1 + (n + 2 * r) % 16;
            store.horses[n].runs[r].jockey = QStringLiteral("騎手%1").arg((n + r) % 7);
            store.horses[n].runs[r].weightCarried = 56.5f;
            store.horses[n].runs[r].time = 95.0f + 0.1f * static_cast<float>(r);
            store.horses[n].runs[r].margin = 0.1f * static_cast<float>((n + r) % 9);
            store.horses[n].runs[r].last3f = 34.0f + 0.1f * static_cast<float>(n % 10);
            store.horses[n].runs[r].bodyWeight = 458 + r;
            store.horses[n].runs[r].cornerPositions = {0, 1 + n % 12, 1 + n % 11, 1 + n % 10, 1 + n % 9};
            store.horses[n].runs[r].speedFigure = 55.0f + static_cast<float>((n * 7 + r * 3) % 40);
            store.horses[n].runs[r].last3fFigure = r % 4 == 0 ? 0.0f : 50.0f + static_cast<float>(r);
        }
    }
}

// The straightforward renderer: every cell on its own, a new font for each.
QImage paintCellByCell(const CellGrid &grid, int dpi)
{
    const double scale = dpi / 1440.0;
    QImage image(gridImageSize(grid, dpi), QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
    image.fill(Qt::white);
    QPainter painter(&image);
    double top = 0;
    for (int r = 0; r < grid.rows(); ++r) {
        double left = 0;
        for (int c = 0; c < grid.cols(); ++c) {
            const GridCell &cell = *grid.at(r, c);
            const QRectF rect(left, top, grid.colWidth(c) * scale, CellGrid::kRowHeight * scale);
            painter.fillRect(rect, cell.background);
            QFont font;
            font.setFamilies({grid.fontName, QStringLiteral("IPAPGothic")});
            font.setPointSizeF(cell.fontSize > 0 ? cell.fontSize : grid.baseFontSize);
            font.setBold(cell.bold);
            painter.setFont(font);
            painter.setPen(cell.foreground);
            const bool right = cell.align == CellAlign::General && isNumeric(cell.text);
            painter.drawText(rect.adjusted(2, 0, -2, 0),
                (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, cell.text);
            left += rect.width();
        }
        top += CellGrid::kRowHeight * scale;
    }
    return image;
}

// The race and the window's grid, made once per benchmark.
struct Table {
    Table() { fillRace(store); }
    RaceStore store;
    CellGrid grid;
    RecordingSink sink;
};

template <typename Render>
void drawAndRender(benchmark::State &state, Render render)
{
    Table table;
    for (auto _ : state) {
        drawBacyu(table.store, table.grid, table.sink);
        QImage image = render(table.grid);
        benchmark::DoNotOptimize(image.constBits());
    }
    if (!table.sink.messages().isEmpty()) {
        state.SkipWithError("drawBacyu reported a failure");
    }
}

void BM_DrawBacyuImage(benchmark::State &state)
{
    drawAndRender(state, [](const CellGrid &grid) { return gridImage(grid, kDpi); });
}
BENCHMARK(BM_DrawBacyuImage)->Unit(benchmark::kMillisecond);

void BM_DrawBacyuImageCellByCell(benchmark::State &state)
{
    drawAndRender(state, [](const CellGrid &grid) { return paintCellByCell(grid, kDpi); });
}
BENCHMARK(BM_DrawBacyuImageCellByCell)->Unit(benchmark::kMillisecond);

// The fill alone: what the button "馬柱" costs before the window repaints.
void BM_DrawBacyuFill(benchmark::State &state)
{
    Table table;
    for (auto _ : state) {
        drawBacyu(table.store, table.grid, table.sink);
        benchmark::DoNotOptimize(table.grid.at(0, 0));
    }
}
BENCHMARK(BM_DrawBacyuFill)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
