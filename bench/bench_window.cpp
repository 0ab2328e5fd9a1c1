// The desktop window's two moments a user waits for:
// - RunnerChange: one runner change as the window does it on the sample race
//   (16 runners): the speed-figure graph, the legend, the per-run and
//   head-to-head grids and the panels drawn into the view models, then the graph
//   and legend rendered at the size the graph pane gives them (percent of the
//   design size: 78 in a 1280 x 720 window, 100 the design size the window had
//   before it scaled, 150 in a 1920 x 1080 window, 200 at a scale factor of 2)
//   and the two grids rendered as images. Goal: one frame, 16 ms.
// - StartUpToFirstPaint: the main window built (settings, selection boxes,
//   track database issue) and shown until its first paint. The QApplication
//   itself is made once, before.

#include "gui/main_window.h"
#include "view/draw_box.h"
#include "view/grid_render.h"
#include "view/painter_draw_box.h"
#include "window/window_views.h"

#include "gui_benchmark_main.h"
#include "sample_race_load.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace marunoki;

namespace {

void runnerChange(benchmark::State &state)
{
    RaceStore store;
    if (!loadSampleRace(store)) {
        state.SkipWithError("the sample race did not load cleanly");
        return;
    }
    Settings settings;
    settings.kakeritu = 0.3f;
    WindowViews views;
    RecordingSink messages;
    ViewContext context {store, settings, 1, views, messages};
    const double share = double(state.range(0)) / 100;
    const double twips = kGraphBoxWidth + kLegendBoxWidth;
    const QSize pane(int(twips / kTwipsPerPixel * share), int(kGraphBoxHeight / kTwipsPerPixel * share));
    QImage screen(pane, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        views.shownRunner = views.shownRunner % store.tousuu + 1;
        redrawAfterRunnerChange(context);
        screen.fill(Qt::white);
        QPainter painter(&screen);
        painter.setRenderHint(QPainter::Antialiasing);
        const double scale = std::min(pane.width() / twips, pane.height() / kGraphBoxHeight);
        paintDrawing(views.picture1, painter,
            QRectF(0, 0, views.picture1.width() * scale, views.picture1.height() * scale));
        paintDrawing(views.picture2, painter,
            QRectF(views.picture1.width() * scale, 0, views.picture2.width() * scale,
                views.picture2.height() * scale));
        painter.end();
        benchmark::DoNotOptimize(gridImage(views.runGrid, 96));
        benchmark::DoNotOptimize(gridImage(views.taisenGrid, 96));
    }
    if (!messages.messages().isEmpty())
        state.SkipWithError("a runner change showed a message");
}
BENCHMARK(runnerChange)->Arg(78)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

// Counts paint events of one widget.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

void startUpToFirstPaint(benchmark::State &state)
{
    const AppFolder folder(appFolder().path());
    for (auto _ : state) {
        gui::MainWindow window(folder, kSamples + QStringLiteral("site1"));
        PaintWatch watch;
        window.installEventFilter(&watch);
        window.resize(1280, 720);
        window.show();
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}
BENCHMARK(startUpToFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    return runGuiBenchmarks<QApplication>(argc, argv);
}
