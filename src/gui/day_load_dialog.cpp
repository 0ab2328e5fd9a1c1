#include "gui/day_load_dialog.h"

#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/page_sources.h"
#include "web/page_loader.h"

#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace marunoki::gui {

namespace {

class SilentProgress : public ProgressSink {
public:
    void status(const QString &) override { }
};

// Hands each race's start to the dialog on its own thread.
class DialogObserver : public DayObserver {
public:
    explicit DialogObserver(std::function<void(int, int, int)> starting)
        : starting_(std::move(starting))
    { }
    void raceStarting(int race, int k, int count) override { starting_(race, k, count); }
    void raceFinished(const DayRace &, RaceStore &, int, int) override { }

private:
    std::function<void(int, int, int)> starting_;
};

}  // namespace

DayLoadDialog::DayLoadDialog(const DaySelection &day, const Settings &settings, const AppFolder &folder,
    const QString &offlineFolder, QWidget *parent)
    : QDialog(parent)
    , store_(std::make_unique<RaceStore>())
{
    setWindowTitle(QStringLiteral("1日分読込み"));
    auto *box = new QVBoxLayout(this);
    box->addWidget(new QLabel(QStringLiteral("%1年 %2回%3%4日")
                                  .arg(day.year, QString::number(day.meeting.toInt()), day.course,
                                      QString::number(day.day.toInt()))));
    status_ = new QLabel(QStringLiteral("読込みを始めます・・・"));
    status_->setMinimumWidth(320);
    bar_ = new QProgressBar;
    bar_->setRange(0, day.lastRace - day.firstRace + 1);
    bar_->setValue(0);
    button_ = new QPushButton(QStringLiteral("読込み中止"));
    failures_ = new QPlainTextEdit;
    failures_->setObjectName(QStringLiteral("dayFailures"));
    failures_->setReadOnly(true);
    failures_->setLineWrapMode(QPlainTextEdit::NoWrap);
    failures_->hide();
    box->addWidget(status_);
    box->addWidget(bar_);
    box->addWidget(failures_);
    box->addWidget(button_);
    connect(button_, &QPushButton::clicked, this, [this] {
        if (running_)
            stop();
        else
            close();
    });

    worker_ = std::thread([this, day, settings, folder, offlineFolder] {
        // The races' messages are not shown one by one: the day's end says how
        // many races were read.
        RecordingSink messages;
        PageSourceChoice choice;
        choice.offlineFolder = offlineFolder;
        choice.cacheOffline = true;
        const PageSources sources = makePageSources(choice, folder, settings, messages);
        SilentProgress progress;
        DayContext context {*store_, settings, folder, *sources.source, progress, messages, stop_};
        DialogObserver observer([this](int race, int k, int count) {
            QMetaObject::invokeMethod(
                this, [this, race, k, count] { raceStarting(race, k, count); }, Qt::QueuedConnection);
        });
        const DayResult result = runDay(day, context, observer);
        const int count = day.lastRace - day.firstRace + 1;
        finished_ = true;
        QMetaObject::invokeMethod(
            this, [this, result, count] { ended(result, count); }, Qt::QueuedConnection);
    });
}

DayLoadDialog::~DayLoadDialog()
{
    stop();
    if (worker_.joinable())
        worker_.join();
}

void DayLoadDialog::raceStarting(int race, int k, int count)
{
    status_->setText(QStringLiteral("%1R 読込み中・・・（%2 / %3 レース）").arg(race).arg(k).arg(count));
    bar_->setValue(k - 1);
}

void DayLoadDialog::ended(const DayResult &result, int count)
{
    if (worker_.joinable())
        worker_.join();
    running_ = false;
    bar_->setValue(result.stopped ? bar_->value() : count);
    status_->setText(QStringLiteral("%1レース中 %2レースを読み込みました%3")
                         .arg(count)
                         .arg(result.analysedCount())
                         .arg(result.stopped ? QStringLiteral("（中止しました）") : QString()));
    const QStringList failures = result.failures();
    if (!failures.isEmpty()) {
        failures_->setPlainText(QStringLiteral("読み込めなかったレース:\n") + failures.join(u'\n'));
        failures_->show();
    }
    button_->setText(QStringLiteral("閉じる"));
    Q_EMIT dayEnded();
}

void DayLoadDialog::stop()
{
    stop_ = true;
    store_->cancelFlag = -1;
}

void DayLoadDialog::closeEvent(QCloseEvent *event)
{
    // Closing while the day runs stops it; the window goes when it has ended.
    if (running_) {
        stop();
        event->ignore();
        connect(this, &DayLoadDialog::dayEnded, this, &QDialog::close, Qt::QueuedConnection);
        return;
    }
    QDialog::closeEvent(event);
}

void markCachedRaces(QComboBox *raceBox, const QList<int> &cached)
{
    // Changing the current item's data rewrites an editable box's text; the box
    // keeps what it showed ("RaceNo" until a race is chosen).
    const QString shown = raceBox->currentText();
    for (int i = 0; i < raceBox->count(); ++i) {
        const int race = raceBox->itemText(i).toInt();
        const bool inCache = cached.contains(race);
        QFont font = raceBox->font();
        font.setBold(inCache);
        raceBox->setItemData(i, inCache ? QVariant(font) : QVariant(), Qt::FontRole);
        raceBox->setItemData(i,
            inCache ? QVariant(QStringLiteral("読込み済み（キャッシュにあります）")) : QVariant(),
            Qt::ToolTipRole);
        raceBox->setItemData(i, inCache ? QVariant(QColor(0, 80, 160)) : QVariant(), Qt::ForegroundRole);
    }
    if (raceBox->isEditable())
        raceBox->setEditText(shown);
}

}  // namespace marunoki::gui
