#pragma once
// The dialog "過去レース検証": the site, the year, the courses and the range
// of meetings of a backtest. It only displays BacktestChoices; OK hands them
// to backtestRequestOf and closes only on a request, showing its one-line
// problem otherwise.

#include "driver/backtest_form.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace marunoki::gui {

class BacktestDialog : public QDialog {
    Q_OBJECT
public:
    BacktestDialog(const BacktestChoices &choices, QWidget *parent);

    // The controls as the core reads them.
    BacktestChoices choices() const;
    // After OK: what the backtest runs.
    const BacktestRequest &request() const { return request_; }

public Q_SLOTS:
    void accept() override;

private:
    QComboBox *site_;
    QSpinBox *year_;
    std::array<QCheckBox *, kCourseCount> courses_ {};
    QSpinBox *firstMeeting_;
    QSpinBox *lastMeeting_;
    QLabel *problem_;
    BacktestRequest request_;
};

}  // namespace marunoki::gui
