// The desktop window's two moments a user waits for:
// - RunnerChange: one runner change as the window does it on the sample race
//   (16 runners): the speed-figure graph, the legend, the per-run and
//   head-to-head grids and the panels drawn into the view models, then the graph
//   and legend rendered at the size the graph pane gives them (percent of the
//   design size: 78 in a 1280 x 720 window, 100 the design size the window had
//   before it scaled, 150 in a 1920 x 1080 window, 200 at a scale factor of 2)
//   and the two grids rendered as images. Goal: one frame, 16 ms.
// - wholeProgram: the desktop program as a user starts and ends it: from the
//   start of its process (exec) to its window's first paint on the screen, and
//   from there (it closes itself as 終了 does) to the end of the process. Its
//   start is set against the smallest Qt program that paints a window of the same
//   size (this program run with --bare-window), started alternately in the same
//   run: the ratio is what the program adds to what any Qt window costs on this
//   machine. Goals: start and quit each under 0.3 s. Run it under Xvfb for the
//   figures a user sees (QT_QPA_PLATFORM=xcb DISPLAY=:n); offscreen otherwise.

#include "view/draw_box.h"
#include "view/grid_render.h"
#include "view/painter_draw_box.h"
#include "window/window_views.h"

#include "gui_benchmark_main.h"
#include "sample_race_load.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <optional>

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
        views.shownRunner = views.shownRunner % store.fieldSize + 1;
        redrawAfterRunnerChange(context);
        screen.fill(Qt::white);
        QPainter painter(&screen);
        painter.setRenderHint(QPainter::Antialiasing);
        const double scale = std::min(pane.width() / twips, pane.height() / kGraphBoxHeight);
        paintDrawing(views.graphBox, painter,
            QRectF(0, 0, views.graphBox.width() * scale, views.graphBox.height() * scale));
        paintDrawing(views.legendBox, painter,
            QRectF(views.graphBox.width() * scale, 0, views.legendBox.width() * scale,
                views.legendBox.height() * scale));
        painter.end();
        benchmark::DoNotOptimize(gridImage(views.runGrid, 96));
        benchmark::DoNotOptimize(gridImage(views.taisenGrid, 96));
    }
    if (!messages.messages().isEmpty())
        state.SkipWithError("a runner change showed a message");
}
BENCHMARK(runnerChange)->Arg(78)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

// Starts a program whose window reports its first paint ("first paint" on its
// output, MARUNOKI_FIRST_PAINT=quit) and then closes itself. Times from the
// start of the process, ms; nothing when it did not paint or end.
struct ProcessTimes {
    double toFirstPaint = 0;
    double toEnd = 0;  // from the first paint to the end of the process
};

std::optional<ProcessTimes> runToFirstPaint(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MARUNOKI_FIRST_PAINT"), QStringLiteral("quit"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(10000))
            return std::nullopt;
    }
    ProcessTimes times;
    times.toFirstPaint = double(clock.nsecsElapsed()) / 1e6;
    if (process.readLine().trimmed() != "first paint" || !process.waitForFinished(10000)
        || process.exitCode() != 0)
        return std::nullopt;
    times.toEnd = double(clock.nsecsElapsed()) / 1e6 - times.toFirstPaint;
    return times;
}

void wholeProgram(benchmark::State &state)
{
    const QString app = appFolder().path();
    if (!QFile::exists(app + QStringLiteral("/marunoki.ini")))
        (void)QFile::copy(kSamples + QStringLiteral("marunoki.ini"), app + QStringLiteral("/marunoki.ini"));
    const QString bare = QCoreApplication::applicationFilePath();
    double bareTotal = 0;
    double quitTotal = 0;
    double quitWorst = 0;
    double startWorst = 0;
    for (auto _ : state) {
        const std::optional<ProcessTimes> ours
            = runToFirstPaint(QStringLiteral(MARUNOKI_GUI_PATH), {QStringLiteral("--app-dir"), app});
        const std::optional<ProcessTimes> floor = runToFirstPaint(bare, {QStringLiteral("--bare-window")});
        if (!ours || !floor) {
            state.SkipWithError("a program did not paint its window or did not end");
            return;
        }
        state.SetIterationTime(ours->toFirstPaint / 1000);
        bareTotal += floor->toFirstPaint;
        quitTotal += ours->toEnd;
        quitWorst = std::max(quitWorst, ours->toEnd);
        startWorst = std::max(startWorst, ours->toFirstPaint);
    }
    const double n = double(state.iterations());
    state.counters["bare_start_ms"] = bareTotal / n;
    state.counters["worst_start_ms"] = startWorst;
    state.counters["quit_ms"] = quitTotal / n;
    state.counters["worst_quit_ms"] = quitWorst;
}
BENCHMARK(wholeProgram)->UseManualTime()->Iterations(12)->Unit(benchmark::kMillisecond);

// The smallest Qt program with a window of the program's size that reports its
// first paint as the program does.
int bareWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("中央競馬もMarunoki"));
    window.resize(1280, 720);
    bool painted = false;
    class Watch : public QObject {
    public:
        explicit Watch(bool &painted)
            : painted_(painted)
        { }
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && !painted_) {
                painted_ = true;
                auto *widget = static_cast<QWidget *>(watched);
                QTimer::singleShot(0, widget, [widget] {
                    std::fputs("first paint\n", stdout);
                    std::fflush(stdout);
                    widget->close();
                });
            }
            return false;
        }

    private:
        bool &painted_;
    } watch(painted);
    window.installEventFilter(&watch);
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--bare-window") == 0)
        return bareWindow(argc, argv);
    return runGuiBenchmarks<QApplication>(argc, argv);
}
