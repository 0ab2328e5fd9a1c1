#include "gui/backtest_dialog.h"

#include "app/race_store.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace marunoki::gui {

BacktestDialog::BacktestDialog(const BacktestChoices &choices, QWidget *parent)
    : QDialog(parent)
    , site_(new QComboBox)
    , year_(new QSpinBox)
    , firstMeeting_(new QSpinBox)
    , lastMeeting_(new QSpinBox)
    , problem_(new QLabel)
{
    setWindowTitle(QStringLiteral("過去レース検証"));
    setObjectName(QStringLiteral("backtestDialog"));
    site_->addItems({QStringLiteral("サイト1"), QStringLiteral("サイト2")});
    site_->setCurrentIndex(choices.site == ReadingSite::Two ? 1 : 0);
    // The boxes take any number; the core says what it will not take.
    year_->setRange(0, 9999);
    year_->setValue(choices.year);
    auto *courseBox = new QWidget;
    auto *courseGrid = new QGridLayout(courseBox);
    courseGrid->setContentsMargins(0, 0, 0, 0);
    for (int c = 0; c < kCourseCount; ++c) {
        courses_[size_t(c)] = new QCheckBox(courseNames()[size_t(c) + 1]);
        courses_[size_t(c)]->setChecked(choices.courses[size_t(c)]);
        courseGrid->addWidget(courses_[size_t(c)], c / 5, c % 5);
    }
    for (QSpinBox *box : {firstMeeting_, lastMeeting_})
        box->setRange(0, 99);
    firstMeeting_->setValue(choices.firstMeeting);
    lastMeeting_->setValue(choices.lastMeeting);
    auto *meetings = new QWidget;
    auto *meetingRow = new QHBoxLayout(meetings);
    meetingRow->setContentsMargins(0, 0, 0, 0);
    meetingRow->addWidget(firstMeeting_);
    meetingRow->addWidget(new QLabel(QStringLiteral("回 〜")));
    meetingRow->addWidget(lastMeeting_);
    meetingRow->addWidget(new QLabel(QStringLiteral("回")));
    meetingRow->addStretch();

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("サイト"), site_);
    form->addRow(QStringLiteral("年"), year_);
    form->addRow(QStringLiteral("競馬場"), courseBox);
    form->addRow(QStringLiteral("開催"), meetings);
    problem_->setObjectName(QStringLiteral("backtestProblem"));
    problem_->setStyleSheet(QStringLiteral("color: #b00000"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("開始"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &BacktestDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BacktestDialog::reject);
    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(problem_);
    column->addWidget(buttons);
}

BacktestChoices BacktestDialog::choices() const
{
    BacktestChoices choices;
    choices.site = site_->currentIndex() == 1 ? ReadingSite::Two : ReadingSite::One;
    choices.year = year_->value();
    for (size_t c = 0; c < courses_.size(); ++c)
        choices.courses[c] = courses_[c]->isChecked();
    choices.firstMeeting = firstMeeting_->value();
    choices.lastMeeting = lastMeeting_->value();
    return choices;
}

void BacktestDialog::accept()
{
    const BacktestRequestCheck check = backtestRequestOf(choices(), QDateTime::currentDateTimeUtc());
    if (!check.request) {
        problem_->setText(check.problem);
        return;
    }
    request_ = *check.request;
    QDialog::accept();
}

}  // namespace marunoki::gui
