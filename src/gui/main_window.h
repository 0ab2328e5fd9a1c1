#pragma once
// The main window "中央競馬もMarunoki": the race selection, the load button, runner
// navigation, and the loaded race shown as text panels and a table of the current
// runner's runs. The load runs on a worker thread; while it runs the window's
// controls are disabled (the load uses curUma as its loop index) and a small
// loading window offers "読込み中止".

#include "app/common.h"
#include "app/race_store.h"
#include "settings/settings.h"

#include <QMainWindow>

#include <memory>
#include <thread>

class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QPushButton;
class QTableWidget;

namespace marunoki::gui {

class MessageBoxSink;

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
    void startUp();
    void startLoad();
    void loadFinished();
    void showRunner(qint32 runner);
    void openCalendar();
    void exportCsv();
    void setControlsEnabled(bool enabled);

    AppFolder folder_;
    QString offlineFolder_;
    RaceStore store_;
    Settings settings_;
    std::unique_ptr<MessageBoxSink> messages_;
    std::thread worker_;
    bool closeRequested_ = false;

    QComboBox *course_ = nullptr;
    QComboBox *year_ = nullptr;
    QComboBox *meeting_ = nullptr;
    QComboBox *day_ = nullptr;
    QComboBox *race_ = nullptr;
    QComboBox *runnerBox_ = nullptr;
    QPushButton *loadButton_ = nullptr;
    QPushButton *calendarButton_ = nullptr;
    QPushButton *previousButton_ = nullptr;
    QPushButton *nextButton_ = nullptr;
    QCheckBox *tableCheck_ = nullptr;
    QLabel *versionLabel_ = nullptr;
    QLabel *raceLabel_ = nullptr;
    QLabel *runnerLabel_ = nullptr;
    QTableWidget *runTable_ = nullptr;
    QDialog *loading_ = nullptr;
    QLabel *loadingStatus_ = nullptr;
};

}  // namespace marunoki::gui
