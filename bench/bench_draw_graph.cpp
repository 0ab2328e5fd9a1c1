// Drawing the speed-figure graph of every runner of a full race (18 runners, 30
// past runs each, every overlay on) and rendering it at screen size (9135 x 6735
// twips at 96 dpi, 609 x 449 pixels), plus the legend with runner 1.
//
// Two ways are measured per race:
// - DrawGraphRecorded: the program's way. drawGraph records each graph into a
//   RecordedDrawing (the retained picture), and paintDrawing replays it into one
//   image, as the window repaints and the printer scales it. The painter box it
//   replays through sets up each face and size once.
// - DrawGraphDirect: the straightforward way. drawGraph draws each runner straight
//   into a fresh image through a painter box that sets up the font (face lookup
//   with its fallback, size, metrics) for every text it prints.

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "settings/settings.h"
#include "view/cell_grid.h"
#include "view/graph_view.h"
#include "view/painter_draw_box.h"
#include "view/recorded_drawing.h"

#include "gui_benchmark_main.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <memory>

using namespace marunoki;

namespace {

constexpr double kBoxWidth = 9135;
constexpr double kBoxHeight = 6735;
constexpr double kLegendWidth = 900;
constexpr double kPixelsPerTwip = 1.0 / kTwipsPerPixel;  // 96 dpi
constexpr int kRunners = 18;
constexpr int kPastRuns = 30;

// A full race with figures, statistics and every fact the overlays show. The
// values vary by runner and run so that lines, labels and markers spread out.
void fillRace(RaceStore &store)
{
    store.clearForLoad();
    store.raceDate = *serialFromYmd(2026, 11, 29);
    store.raceTitle = QStringLiteral("ベンチマーク記念");
    store.raceConditions = QStringLiteral("3歳以上オープン 芝2400m");
    store.fieldSize = kRunners;
    store.graphBase = 10;
    store.referenceFigure = 78;
    for (int h = 1; h <= kRunners; ++h) {
        store.horses[h].name = QStringLiteral("ベンチホース%1").arg(h);
        store.horses[h].sexAge = QStringLiteral("牡%1").arg(3 + h % 4);
        store.horses[h].coatColour = QStringLiteral("鹿毛");
        store.horses[h].sire = QStringLiteral("サンプル父%1").arg(h);
        store.horses[h].damSire = QStringLiteral("サンプル母父%1").arg(h);
        store.horses[h].meanFigure.value = 60.0f + h;
        store.horses[h].bestFigure.value = 75.0f + h;
        store.horses[h].recentMeanFigure.value = 62.0f + h;
        store.horses[h].recentBestFigure.value = 70.0f + h;
        store.horses[h].runningStyle.value = 1.0f + 0.3f * h;
        for (int r = 0; r <= kPastRuns; ++r) {
            const int seed = h * 31 + r * 7;
            store.horses[h].runs[r].date = store.raceDate - 13.0 * r - (r > 0 ? h % 5 : 0);
            store.horses[h].runs[r].course = QStringLiteral("%1").arg(1 + seed % 10, 2, 10, QLatin1Char('0'));
            store.horses[h].runs[r].raceName = QStringLiteral("サンプル特別%1").arg(r);
            store.horses[h].runs[r].distance = 1000 + 200 * (seed % 12);
            store.horses[h].runs[r].surface = seed % 3 == 0 ? 0 : 1;
            store.horses[h].runs[r].going = 1 + seed % 4;
            store.horses[h].runs[r].fieldSize = 16;
            store.horses[h].runs[r].bracket = 1 + (h + r) % 8;
            store.horses[h].runs[r].horseNumber = 1 + (h + r) % 16;
            store.horses[h].runs[r].finish = r == 0 ? 0 : 1 + seed % 16;
            store.horses[h].runs[r].bodyWeight = 460 + seed % 24;
            store.horses[h].runs[r].jockey = QStringLiteral("騎手%1").arg(seed % 20);
            store.horses[h].runs[r].weightCarried = 54.0f + float(seed % 4);
            store.horses[h].runs[r].time = 95.0f + float(seed % 30) / 10;
            store.horses[h].runs[r].last3f = 34.0f + float(seed % 20) / 10;
            store.horses[h].runs[r].popularity = 1 + seed % 16;
            for (int corner = 1; corner <= 4; ++corner)
                store.horses[h].runs[r].cornerPositions[corner] = 1 + (seed + corner) % 14;
            if (r > 0) {
                store.horses[h].runs[r].speedFigure = seed % 9 == 0 ? 0.0f : 35.0f + float(seed % 80);
                store.horses[h].runs[r].last3fFigure = 40.0f + float(seed % 70);
                store.horses[h].runs[r].trackVariant = seed % 5 == 0 ? 0.0f : -1.5f;
            }
        }
        for (int k = 0; k <= kRunners; ++k) {
            store.horses[h].headToHead[k].ahead = float((h + k) % 3);
            store.horses[h].headToHead[k].behind = float((h * k) % 3);
        }
    }
}

Settings everyOverlay()
{
    Settings settings;
    settings.iniGraph.fill(QStringLiteral("true"));
    settings.kakeritu = 0.3f;
    return settings;
}

// Everything of the window except the two boxes, which each way brings itself.
struct Panels {
    CellGrid runGrid;
    CellGrid taisenGrid;
    QString raceInfo;
    QString umaInfo;
    QString runnerBox;
};

QImage screenImage(double widthTwips, double heightTwips)
{
    QImage image(int(widthTwips * kPixelsPerTwip), int(heightTwips * kPixelsPerTwip),
        QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

void BM_DrawGraphRecorded(benchmark::State &state)
{
    RaceStore store;
    fillRace(store);
    const Settings settings = everyOverlay();
    RecordedDrawing graphBox;
    graphBox.setSize(kBoxWidth, kBoxHeight);
    RecordedDrawing legendBox;
    Panels panels;
    GraphSurfaces surfaces {graphBox, legendBox, panels.runGrid, panels.taisenGrid, panels.raceInfo,
        panels.umaInfo, panels.runnerBox};
    RecordingSink sink;
    QImage graph = screenImage(kBoxWidth, kBoxHeight);
    QImage legend = screenImage(kLegendWidth, kBoxHeight + 1000);
    for (auto _ : state) {
        for (int h = 1; h <= kRunners; ++h) {
            drawGraph(store, h, settings, 1, surfaces, sink);
            QPainter painter(&graph);
            paintDrawing(graphBox, painter, QRectF(0, 0, graph.width(), graph.height()));
            if (h == 1) {
                QPainter legendPainter(&legend);
                paintDrawing(legendBox, legendPainter, QRectF(0, 0, legend.width(), legend.height()));
            }
        }
        benchmark::DoNotOptimize(graph.constBits());
    }
    state.counters["primitives"] = double(graphBox.primitives().size());
    if (!sink.messages().isEmpty())
        state.SkipWithError("the drawing reported a failure");
}
BENCHMARK(BM_DrawGraphRecorded)->Unit(benchmark::kMillisecond);

// A painter box that does the whole font set-up again for every text.
class FontPerTextDrawBox : public PainterDrawBox {
public:
    using PainterDrawBox::PainterDrawBox;

protected:
    const TextFont &textFont(const QString &name, double points) override
    {
        font_ = makeTextFont(name, points);
        return font_;
    }

private:
    TextFont font_;
};

void BM_DrawGraphDirect(benchmark::State &state)
{
    RaceStore store;
    fillRace(store);
    const Settings settings = everyOverlay();
    Panels panels;
    RecordingSink sink;
    size_t pixels = 0;
    for (auto _ : state) {
        for (int h = 1; h <= kRunners; ++h) {
            QImage graph = screenImage(kBoxWidth, kBoxHeight);
            QImage legend = screenImage(kLegendWidth, kBoxHeight + 1000);
            QPainter painter(&graph);
            QPainter legendPainter(&legend);
            for (QPainter *p : {&painter, &legendPainter}) {
                p->setRenderHint(QPainter::Antialiasing);
                p->setRenderHint(QPainter::TextAntialiasing);
            }
            FontPerTextDrawBox graphBox(painter, kPixelsPerTwip);
            graphBox.setSize(kBoxWidth, kBoxHeight);
            FontPerTextDrawBox legendBox(legendPainter, kPixelsPerTwip);
            GraphSurfaces surfaces {graphBox, legendBox, panels.runGrid, panels.taisenGrid, panels.raceInfo,
                panels.umaInfo, panels.runnerBox};
            drawGraph(store, h, settings, 1, surfaces, sink);
            pixels += size_t(graph.sizeInBytes());
        }
    }
    benchmark::DoNotOptimize(pixels);
    if (!sink.messages().isEmpty())
        state.SkipWithError("the drawing reported a failure");
}
BENCHMARK(BM_DrawGraphDirect)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    return runGuiBenchmarks(argc, argv);
}
