// The journal in the window: the tally window and 成績取得, the pending results
// filled like `marunoki-cli results` (the settings' site addresses, the page
// cache of the application folder, the offline folder of --offline) on the
// worker thread, with the loading window and its stop.

#include "gui/main_window.h"

#include "gui/gui_sinks.h"
#include "gui/loading_window.h"
#include "gui/tally_window.h"

#include "journal/tally_request.h"

#include <QScreen>

namespace marunoki::gui {

void MainWindow::openTally()
{
    if (tallyWindow_) {
        tallyWindow_->raise();
        tallyWindow_->activateWindow();
        return;
    }
    auto *window = new TallyWindow(folder_, *messages_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setPreferredSite(settings_.site == ReadingSite::Two ? 2 : 1);
    // The filters of the last tally window come back for the session.
    if (tallyForm_)
        window->setForm(*tallyForm_);
    connect(window, &QDialog::finished, this, [this, window] { tallyForm_ = window->form(); });
    tallyWindow_ = window;
    window->show();
    // Within the screen it opened on, frame and all (a netbook's 1024 x 600).
    if (const QScreen *screen = window->screen()) {
        if (const std::optional<QRect> placed = placeOnScreens(window->geometry(), kUsualWindowFrame,
                {screen->availableGeometry()}, window->minimumSizeHint()))
            window->setGeometry(*placed);
    }
    window->tally();
}

void MainWindow::fetchPendingResults()
{
    if (worker_.joinable())
        return;
    makeSource();
    auto *window = new LoadingWindow(QStringLiteral("成績取得中・・・"), true, this);
    auto progress = std::make_shared<LoadingProgress>(window->statusLine(), window->progressBar());
    resultsStop_ = 0;
    resultsOutcome_ = {};
    PageSource *source = sources_->source;
    PageCache *cache = sources_->cached.cache.get();
    runInBackground(
        window, resultsStop_,
        [this, settings = settings_, source, cache, progress] {
            // Opened here, on the thread that uses it.
            Journal::Opened opened = openExistingJournal(folder_.file(kJournalFile));
            if (!opened.status.ok()) {
                resultsOutcome_.status = opened.status;
                return;
            }
            ResultsContext context {
                *opened.value, settings, *source, cache, *progress, *messages_, resultsStop_};
            resultsOutcome_ = fetchResults(context, std::nullopt, std::nullopt);
        },
        &MainWindow::resultsFetched);
}

void MainWindow::resultsFetched()
{
    if (!endBackgroundJob())
        return;
    const ResultsReport report = resultsReport(resultsOutcome_);
    messages_->detailedMessage(report.text, report.detail);
    // An open tally counts the races just filled.
    if (tallyWindow_)
        tallyWindow_->tally();
    Q_EMIT jobEnded();
}

}  // namespace marunoki::gui
