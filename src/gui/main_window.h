#pragma once
// The main window "中央競馬もMarunoki": the race selection, the load button, runner
// navigation, the view buttons, and the loaded race as the graph box with its
// legend box, the per-run grid, the head-to-head grid, the race and runner panels
// and, over the graph, the past-performance (馬柱) grid. The menus print, export
// and open the maintenance dialogs.
//
// The views draw into models (WindowViews) that the widgets display; every
// action changes the store or the models through the core and then refreshes the
// widgets. A race load and the meeting calendar's load run on a worker thread
// (one at a time); while one runs every control that could read or change the
// store is disabled (the load fills it as it goes) and the loading
// window shows how far it has come and offers "読込み中止". The loading window
// opens only once the selection is accepted and is hidden while a message box
// is up. The menus' keys (Ctrl+Q, Ctrl+P ...) work from every window of the
// program, the loading window too. Ending the program (終了, Ctrl+Q, the close
// box) during any load closes the window at once and without a message; the
// load is told to stop and lets go of the store within moments (jobsEndWithin).
//
// Layout: the window fits a netbook's 1024 x 600 screen (the groups above the
// views go on in a second line) and a 1280 x 720 one (also at a scale factor of
// 2 on 2560 x 1440); the graph and its legend grow with the space they get,
// keeping their shape: the left column gives the graph the height at which it
// fills the column's width as far as the per-run grid keeps a few runs
// (shareColumn), or the grid's height the user set by moving the line between
// them, and all of the grid's room when the grid has nothing to show; the width
// the graph cannot fill goes to the panels beside it (shareRow). The grids and
// the panels take the rest and scroll. The whole frame, title bar included, is
// kept on the screen. The size, the place, the race chosen last, the view shown
// and the grid's height are kept in the settings file when the window ends.
//
// The focus: a load disables the controls; afterwards the focus is back where
// the user was, or on the graph, never on 終了 (whose Space would end the
// program). A load that stops at a message leaves "データ未読込み", not a race
// that no longer answers. Ctrl+Q and the close box end the program also while
// a modal box is up (QuitPastModal).

#include "app/common.h"
#include "app/race_store.h"
#include "driver/backtest_form.h"
#include "driver/load_driver.h"
#include "driver/page_sources.h"
#include "driver/race_marks.h"
#include "driver/race_selection.h"
#include "driver/results_fetch.h"
#include "output/csv_export.h"
#include "output/tally_view.h"
#include "settings/settings.h"
#include "settings/window_state.h"
#include "window/window_views.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QSplitter;

namespace marunoki {
class PageArchive;
class PageSource;
class PrintDevice;
struct CalendarTexts;
}  // namespace marunoki

namespace marunoki::gui {

class CellGridView;
class DayLoadDialog;
class GraphPane;
class LoadingWindow;
class MarkPanel;
class MessageBoxSink;
class TallyWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // offlineFolder: when not empty, races are read from that page archive (saved
    // by marunoki-cli --archive) instead of the network.
    MainWindow(const AppFolder &folder, const QString &offlineFolder, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Puts the window where the last run left it (size, place, race, view);
    // a place on no screen of `screens` (available areas) is not taken.
    void restoreState(const WindowState &state, const QList<QRect> &screens);
    // What restoreState takes back.
    WindowState currentState() const;

    // Whether a load (race or calendar) is running.
    bool loading() const { return worker_.joinable(); }

    // A start without a track database: says so once, in a box that offers the
    // track-data update and, when sampleFolder holds one, the sample track
    // database. Does nothing when the folder has its marunoki.dat.
    void askForTrackDatabase(const QString &sampleFolder);

    // Tells every load (race, calendar, day) to stop and waits at most `limit`
    // for them to let go. False when one still runs: the caller (the program
    // ending) must not wait on it. Silences the message boxes for good.
    [[nodiscard]] bool jobsEndWithin(std::chrono::milliseconds limit);

Q_SIGNALS:
    // A load (race or calendar) has ended and its result is shown.
    void jobEnded();

protected:
    // While a load runs, closing stops it without a message; the window closes
    // when it has ended. The state is saved when the window really closes.
    void closeEvent(QCloseEvent *event) override;
    // At the first paint after restoreState the frame the window manager gave
    // the window is known: the window is fitted again with it.
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QWidget *buildSelection();
    QWidget *buildViews();
    void buildMenus();
    void connectControls();
    void startUp();
    void startLoad();
    // "1日分読込み" for the day of the selection boxes.
    // The race the boxes show; a box still at its initial text is not chosen.
    RaceSelection chosenRace() const;
    void openDayLoad();
    // Marks the races of the chosen day that the page cache holds.
    void markRaceBox();
    void loadFinished();
    void openCalendar();
    void calendarLoaded();
    void showCalendar(const CalendarTexts &texts);
    // The source a load reads from: the network, or the page archive with --offline.
    void makeSource();
    // Opens the loading window and runs job on the worker thread; done runs on
    // the user-interface thread when it has ended.
    // stopFlag: what the loading window's stop button sets.
    void runInBackground(LoadingWindow *window, std::atomic<qint16> &stopFlag, std::function<void()> job,
        void (MainWindow::*done)());
    // Tells every load to stop, without a message.
    void stopJobs();
    // Moves and shrinks the window so that its whole frame lies on its screen.
    void fitFrameOnScreen();
    // Shares the left column between the graph and the per-run grid.
    void shareLeftColumn();
    void closeLoadingWindow();
    // After a background job: the worker joined, the loading window closed, the
    // controls enabled. False when the window was asked to close meanwhile (it
    // closes now and the job's result is not shown).
    bool endBackgroundJob();
    void stepRunner(int step);
    void exportCsv();
    // The two print jobs; each remembers its own output file for the session.
    enum PrintJob { GraphPrint = 0, TablePrint = 1 };
    // Asks for a printer, then runs the job on it (a file printer gets one file
    // per page, numbered from the second on) and shows the views afterwards.
    void printWith(
        PrintJob kind, const QString &title, const std::function<void(ViewContext &, PrintDevice &)> &job);
    void previewWith(
        PrintJob kind, const QString &title, const std::function<void(ViewContext &, PrintDevice &)> &job);
    void printGraphs();
    void printTable();
    void previewGraphs();
    void previewTable();
    void openOptions();
    void openAbout();
    void openTrackUpdate();
    // "成績集計": the one tally window.
    void openTally();
    // "成績取得": the journal's pending results filled on the worker thread.
    void fetchPendingResults();
    void resultsFetched();
    // "過去レース検証": the dialog's request replayed on the worker thread, then
    // one message and the tally window on the days it covered.
    void openBacktest();
    void backtestEnded();
    void setControlsEnabled(bool enabled);

    // The table check box as its setting value: 0 off, 1 on, 2 grey.
    qint32 tableCheckState() const;
    ViewContext viewContext();
    // Runs one view action and shows its result.
    void withViews(const std::function<void(ViewContext &)> &action);
    // After navigation chose a runner: it is shown and the redraw of the current view.
    void runnerChanged(qint32 runner);
    // Shows the view models in the widgets.
    void refreshViews();

    // The marks (main_window_marks.cpp): the 印 menu, the context menus of the
    // graph and of the head-to-head grid's rows, the mark beside the runner box
    // and the 印 panel, all through marks_.
    void buildMarkMenu();
    void connectMarks();
    // Sets (nothing: clears) runner's mark and shows it.
    void markRunner(qint32 runner, std::optional<Mark> mark);
    // A menu of the mark commands for runner, at global position where.
    void popUpMarkMenu(qint32 runner, const QPoint &where);
    // Shows the marks and whether marking is possible now.
    void refreshMarks();

    AppFolder folder_;
    QString offlineFolder_;
    RaceStore store_;
    Settings settings_;
    WindowViews views_;
    std::unique_ptr<MessageBoxSink> messages_;
    std::thread worker_;
    // Set by the worker as its last step, so the loading window is not shown again
    // after the message a load stopped at.
    std::atomic<bool> workerDone_ {true};
    // Where loads read their pages; made again before each load.
    std::unique_ptr<PageSources> sources_;
    // "最新の情報に更新": the next load fetches every page again.
    bool refreshNext_ = false;
    LoadResult loadResult_;
    std::unique_ptr<CalendarTexts> calendarResult_;
    // Set by the calendar's stop button (a race load stops by the store's flag).
    std::atomic<qint16> calendarStop_ {0};
    // The race being loaded and the race shown, as the boxes chose them.
    RaceSelection loadingRace_;
    RaceSelection shownRace_;
    CsvExportSession csvSession_;
    RaceMarks marks_ {folder_, store_};
    bool closeRequested_ = false;
    bool stateSaved_ = false;
    // The screens restoreState placed the window on, until its frame is known.
    QList<QRect> screens_;
    // Each print job's output file, kept for the session.
    std::array<QString, 2> printFiles_;

    QComboBox *course_ = nullptr;
    QComboBox *year_ = nullptr;
    QComboBox *meeting_ = nullptr;
    QComboBox *day_ = nullptr;
    QComboBox *race_ = nullptr;
    QComboBox *runnerBox_ = nullptr;  // the shown runner's number
    QPushButton *loadButton_ = nullptr;
    QPushButton *calendarButton_ = nullptr;  // 開催情報取得: reads the meetings
    QPushButton *previousButton_ = nullptr;  // the runner before
    QPushButton *nextButton_ = nullptr;  // the runner after
    QPushButton *graphButton_ = nullptr;
    QPushButton *bacyuButton_ = nullptr;  // the 馬柱 over the graph
    QPushButton *hikakuButton_ = nullptr;  // the comparison graph
    QPushButton *endButton_ = nullptr;  // 終了
    QCheckBox *tableCheck_ = nullptr;  // the per-run grid on or off
    QLabel *versionLabel_ = nullptr;
    QLabel *raceLabel_ = nullptr;  // the race panel
    QLabel *runnerLabel_ = nullptr;  // the runner panel
    QSplitter *leftColumn_ = nullptr;
    QSplitter *area_ = nullptr;  // the left column beside the panels
    // The per-run grid's height as the user set it; nothing: the window shares.
    std::optional<int> gridHeight_;
    // The graph pane's design size the room was last shared for.
    QSize paneDesign_;
    QWidget *raceArea_ = nullptr;
    GraphPane *graphPane_ = nullptr;  // the graph box and the legend box
    CellGridView *taisenGrid_ = nullptr;  // the head-to-head grid
    CellGridView *runGrid_ = nullptr;  // the per-run grid
    CellGridView *bacyuGrid_ = nullptr;  // the 馬柱 grid
    QPointer<QDialog> optionsDialog_;
    QPointer<QDialog> aboutDialog_;
    QPointer<QDialog> trackDialog_;
    QPointer<DayLoadDialog> dayDialog_;
    QPointer<TallyWindow> tallyWindow_;
    // The tally window's filters when it was last closed, for the session.
    std::optional<TallyForm> tallyForm_;
    // Set by the loading window's stop during 成績取得.
    std::atomic<qint16> resultsStop_ {0};
    ResultsOutcome resultsOutcome_;
    // 過去レース検証: the backtest's own stop (the loading window's button and
    // stopJobs set it), the flag the loading window is handed, the outcome.
    std::atomic<bool> backtestStop_ {false};
    std::atomic<qint16> backtestButton_ {0};
    BacktestOutcome backtestOutcome_;
    ReadingSite backtestSite_ = ReadingSite::One;
    QPointer<LoadingWindow> loading_;
    // The control that had the focus when a background job began.
    QPointer<QWidget> focusBeforeJob_;
    QAction *quitAction_ = nullptr;
    QLabel *markLabel_ = nullptr;  // the shown runner's mark, beside the runner box
    MarkPanel *markPanel_ = nullptr;
    QMenu *markMenu_ = nullptr;
    QAction *markNote_ = nullptr;  // why marking is off, atop the 印 menu
};

}  // namespace marunoki::gui
