// 過去レース検証 in the window: the dialog's request runs the backtest on the
// worker thread with the window's page sources (the settings' addresses and
// rate, the page cache, --offline), the loading window and its stop; the end
// is one message, then the tally window on the backtest's days.

#include "gui/main_window.h"

#include "gui/backtest_dialog.h"
#include "gui/gui_sinks.h"
#include "gui/loading_window.h"
#include "gui/tally_window.h"

namespace marunoki::gui {

namespace {

// The walk's progress on the loading window's line and bar.
class BacktestLoadingProgress : public BacktestObserver {
public:
    explicit BacktestLoadingProgress(std::shared_ptr<LoadingProgress> progress)
        : progress_(std::move(progress))
    { }
    void dayStarting(const BacktestProgress &progress) override { show(progress); }
    void raceFinished(const BacktestRace &, const RaceStore *, const BacktestProgress &progress) override
    {
        show(progress);
    }

private:
    void show(const BacktestProgress &progress)
    {
        progress_->status(backtestStatusLine(progress));
        progress_->runnerProgress(backtestPercent(progress), 100);
    }

    std::shared_ptr<LoadingProgress> progress_;
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
        [this, request, settings = settings_, source, cache, progress] {
            BacktestContext context {
                settings, folder_, BacktestSources {*source, cache}, *messages_, backtestStop_};
            BacktestLoadingProgress observer(progress);
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
