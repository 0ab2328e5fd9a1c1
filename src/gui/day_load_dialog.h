#pragma once
// "1日分読込み": the races of the day chosen in the selection boxes loaded into
// the page cache in the background, with a progress window (race k of n) and a
// stop button. At the end it says how many races were read and lists the
// races that were not, each with its cause. The work is the core's race day (runDay) on a thread of its own
// with its own store, so the window's race stays as it is; afterwards every
// race of that day loads from the cache.

#include "app/common.h"
#include "driver/day_driver.h"
#include "settings/settings.h"

#include <QDialog>

#include <atomic>
#include <memory>
#include <thread>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace marunoki {
class RaceStore;
}

namespace marunoki::gui {

class DayLoadDialog : public QDialog {
    Q_OBJECT
public:
    // offlineFolder: read the pages from that archive instead of the network.
    DayLoadDialog(const DaySelection &day, const Settings &settings, const AppFolder &folder,
        const QString &offlineFolder, QWidget *parent);
    ~DayLoadDialog() override;

    // Asks the day to stop after the page in flight (also from the window that
    // is ending the program).
    void stop();
    // The worker has let go (the day went through, stopped or failed).
    bool finished() const { return finished_; }

Q_SIGNALS:
    // The day has ended (gone through, stopped or failed).
    void dayEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void raceStarting(int race, int k, int count);
    void ended(const DayResult &result, int count);

    std::unique_ptr<RaceStore> store_;
    std::atomic<bool> stop_ {false};
    std::atomic<bool> finished_ {false};
    std::thread worker_;
    QLabel *status_ = nullptr;
    QProgressBar *bar_ = nullptr;
    QPlainTextEdit *failures_ = nullptr;
    QPushButton *button_ = nullptr;
    bool running_ = true;
};

// Marks the races of the race box that the cache holds (bold, with a tip),
// leaving every item's text as it is.
void markCachedRaces(QComboBox *raceBox, const QList<int> &cached);

}  // namespace marunoki::gui
