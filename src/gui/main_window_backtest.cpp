// 過去レース検証 in the window: the dialog's request runs the backtest on the
// worker thread with the window's page sources (the settings' addresses and
// rate, the page cache, --offline), the loading window and its stop; the end
// is one message, then the tally window on the backtest's days.

#include "gui/main_window.h"

#include "gui/backtest_dialog.h"
#include "gui/gui_sinks.h"
#include "gui/loading_window.h"
#include "gui/tally_window.h"

#include <QApplication>
#include <QPointer>
#include <QProgressBar>

namespace marunoki::gui {

namespace {

// The walk's progress on the loading window: the line, and the bar as the
// share of the estimate (not runners, as a race's load counts).
class BacktestLoadingProgress : public BacktestObserver {
public:
    BacktestLoadingProgress(std::shared_ptr<LoadingProgress> line, QProgressBar *bar)
        : line_(std::move(line))
        , bar_(bar)
    { }
    void dayStarting(const BacktestProgress &progress) override { show(progress); }
    void raceFinished(const BacktestRace &, const RaceStore *, const BacktestProgress &progress) override
    {
        show(progress);
    }

private:
    void show(const BacktestProgress &progress)
    {
        line_->status(backtestStatusLine(progress));
        QMetaObject::invokeMethod(
            qApp,
            [bar = bar_, percent = backtestPercent(progress)] {
                if (!bar)
                    return;
                bar->setRange(0, 100);
                bar->setValue(percent);
                bar->setFormat(QStringLiteral("%p%"));
            },
            Qt::QueuedConnection);
    }

    std::shared_ptr<LoadingProgress> line_;
    QPointer<QProgressBar> bar_;
};

}  // namespace

void MainWindow::openBacktest()
{
    if (worker_.joinable())
        return;
    BacktestDialog dialog(defaultBacktestChoices(settings_, QDate::currentDate()), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const BacktestRequest request = dialog.request();
    makeSource();
    auto *window = new LoadingWindow(QStringLiteral("過去レース検証中・・・"), true, this);
    auto progress = std::make_shared<LoadingProgress>(window->statusLine(), window->progressBar());
    // Its line is longer than a race's.
    window->setMinimumWidth(
        window->fontMetrics().horizontalAdvance(QStringLiteral(
            "2026-04-04 10回東京12日　99 日・999 レース済み　頁 9999・キャッシュ 9999　残り 約 99 分"))
        + 40);
    QProgressBar *bar = window->progressBar();
    // The stop button sets the window's flag; the backtest looks at its own.
    connect(window, &LoadingWindow::stopRequested, this, [this] { backtestStop_ = true; });
    backtestStop_ = false;
    backtestButton_ = 0;
    backtestOutcome_ = {};
    backtestSite_ = request.site;
    PageSource *source = sources_->source;
    PageCache *cache = sources_->cached.cache.get();
    runInBackground(
        window, backtestButton_,
        [this, request, settings = settings_, source, cache, progress, bar] {
            BacktestContext context {
                settings, folder_, BacktestSources {*source, cache}, *messages_, backtestStop_};
            BacktestLoadingProgress observer(progress, bar);
            backtestOutcome_ = runBacktest(request, context, observer);
        },
        &MainWindow::backtestEnded);
}

void MainWindow::backtestEnded()
{
    if (!endBackgroundJob())
        return;
    const ResultsReport report = backtestReport(backtestOutcome_);
    messages_->detailedMessage(report.text, report.detail);
    if (backtestOutcome_.firstDate && backtestOutcome_.lastDate) {
        openTally();
        if (tallyWindow_)
            tallyWindow_->showRange(*backtestOutcome_.firstDate, *backtestOutcome_.lastDate, backtestSite_);
    }
    Q_EMIT jobEnded();
}

}  // namespace marunoki::gui
