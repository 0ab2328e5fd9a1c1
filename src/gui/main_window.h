#pragma once
// The main window "中央競馬もMarunoki": the race selection, the load button, runner
// navigation, the view buttons, and the loaded race as the graph (Picture1) with
// its legend (Picture2), the per-run grid (MSFlexGrid2), the head-to-head grid
// (MSFlexGrid1), the race and runner panels (Label1, Label7) and, over the graph,
// the past-performance table (MSFlexGrid3). The menus print, export and open the
// maintenance dialogs.
//
// The views draw into models (WindowViews) that the widgets display; every
// action changes the store or the models through the core and then refreshes the
// widgets. The load runs on a worker thread; while it runs every control that
// could read or change the store is disabled (the load uses curUma as its loop
// index) and a small loading window offers "読込み中止".

#include "app/common.h"
#include "app/driver/load_driver.h"
#include "app/race_store.h"
#include "output/window_views.h"
#include "settings/settings.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <thread>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QPushButton;

namespace marunoki {
class PrintDevice;
}

namespace marunoki::gui {

class CellGridView;
class MessageBoxSink;
class PictureBox;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // offlineFolder: when not empty, races are read from that page archive (saved
    // by marunoki-cli --archive) instead of the network.
    MainWindow(const AppFolder &folder, const QString &offlineFolder, QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    // While a load runs, closing first stops it; the window closes when it ends.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    QWidget *buildSelection();
    QWidget *buildViews();
    void buildMenus();
    void connectControls();
    void startUp();
    // refresh: "最新の情報に更新", every page fetched again for this load.
    void startLoad(bool refresh = false);
    // "1日分読込み" for the day of the selection boxes.
    void openDayLoad();
    // Marks the races of the chosen day that the page cache holds.
    void markRaceBox();
    void loadFinished();
    void openCalendar();
    void exportCsv();
    // Asks for a printer, then runs the job on it (a file printer gets one file
    // per page, numbered from the second on) and shows the views afterwards.
    void printWith(const QString &title, const std::function<void(ViewContext &, PrintDevice &)> &job);
    void printGraphs();
    void printTable();
    void openOptions();
    void openAbout();
    void openTrackUpdate();
    void setControlsEnabled(bool enabled);

    // The table check box as its setting value: 0 off, 1 on, 2 grey.
    qint32 check1() const;
    ViewContext viewContext();
    // Runs one view action and shows its result.
    void withViews(const std::function<void(ViewContext &)> &action);
    // After navigation set curUma: the redraw of the current view.
    void runnerChanged(qint32 runner);
    // Shows the view models in the widgets.
    void refreshViews();

    AppFolder folder_;
    QString offlineFolder_;
    RaceStore store_;
    Settings settings_;
    WindowViews views_;
    std::unique_ptr<MessageBoxSink> messages_;
    std::thread worker_;
    LoadResult loadResult_;
    bool closeRequested_ = false;

    QComboBox *course_ = nullptr;
    QComboBox *year_ = nullptr;
    QComboBox *meeting_ = nullptr;
    QComboBox *day_ = nullptr;
    QComboBox *race_ = nullptr;
    QComboBox *runnerBox_ = nullptr;  // Combo2
    QPushButton *loadButton_ = nullptr;  // Command1
    QPushButton *calendarButton_ = nullptr;  // Command7
    QPushButton *previousButton_ = nullptr;  // Command3(1)
    QPushButton *nextButton_ = nullptr;  // Command3(0)
    QPushButton *graphButton_ = nullptr;  // Command6
    QPushButton *bacyuButton_ = nullptr;  // Command5
    QPushButton *hikakuButton_ = nullptr;  // Command8
    QPushButton *endButton_ = nullptr;  // Command4
    QCheckBox *tableCheck_ = nullptr;  // Check1
    QLabel *versionLabel_ = nullptr;  // Label10
    QLabel *raceLabel_ = nullptr;  // Label1
    QLabel *runnerLabel_ = nullptr;  // Label7
    PictureBox *picture1_ = nullptr;
    PictureBox *picture2_ = nullptr;
    CellGridView *taisenGrid_ = nullptr;  // MSFlexGrid1
    CellGridView *runGrid_ = nullptr;  // MSFlexGrid2
    CellGridView *bacyuGrid_ = nullptr;  // MSFlexGrid3
    QPointer<QDialog> optionsDialog_;
    QPointer<QDialog> aboutDialog_;
    QPointer<QDialog> trackDialog_;
    QPointer<QDialog> dayDialog_;
    QDialog *loading_ = nullptr;
    QLabel *loadingStatus_ = nullptr;
};

}  // namespace marunoki::gui
