#include "gui/gui_sinks.h"

#include "app/common.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace marunoki::gui {

void fitTitle(QMessageBox &box)
{
    // The title bar's buttons and margins; the title's font is the window
    // manager's, close to the application's.
    constexpr int kTitleBarButtons = 160;
    const int wanted = box.fontMetrics().horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(),
            0, 1, grid->columnCount());
}

MessageBoxSink::MessageBoxSink(QWidget *parent)
    : parent_(parent)
{ }

void MessageBoxSink::setAroundMessage(std::function<void()> before, std::function<void()> after)
{
    before_ = std::move(before);
    after_ = std::move(after);
}

void MessageBoxSink::message(const QString &text)
{
    detailedMessage(text, QString());
}

void MessageBoxSink::show(const QString &text, const QString &detail)
{
    if (silenced_)
        return;
    if (before_)
        before_();
    QMessageBox box(isFailureMessage(text, detail) ? QMessageBox::Warning : QMessageBox::Information,
        kProgramTitle, text, QMessageBox::Ok, parent_.data());
    fitTitle(box);
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    // Pressing the details button must not make it the button Enter presses.
    QAbstractButton *ok = box.button(QMessageBox::Ok);
    for (QAbstractButton *button : box.buttons()) {
        if (auto *push = qobject_cast<QPushButton *>(button); push != nullptr && button != ok)
            push->setAutoDefault(false);
    }
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    if (after_)
        after_();
}

void MessageBoxSink::detailedMessage(const QString &text, const QString &detail)
{
    if (silenced_)
        return;
    if (QThread::currentThread() == anchor_.thread()) {
        show(text, detail);
        return;
    }
    struct Dismissal {
        std::mutex mutex;
        std::condition_variable done;
        bool dismissed = false;
    };
    auto dismissal = std::make_shared<Dismissal>();
    QMetaObject::invokeMethod(
        &anchor_,
        [this, text, detail, dismissal] {
            show(text, detail);
            const std::lock_guard<std::mutex> lock(dismissal->mutex);
            dismissal->dismissed = true;
            dismissal->done.notify_all();
        },
        Qt::QueuedConnection);
    // The user-interface thread may be ending instead of showing the box.
    std::unique_lock<std::mutex> lock(dismissal->mutex);
    while (!dismissal->dismissed && !silenced_)
        dismissal->done.wait_for(lock, std::chrono::milliseconds(20));
}

LoadingProgress::LoadingProgress(QLabel *label, QProgressBar *bar)
    : label_(label)
    , bar_(bar)
{ }

void LoadingProgress::status(const QString &text)
{
    QPointer<QLabel> label = label_;
    QMetaObject::invokeMethod(
        qApp,
        [label, text] {
            if (label)
                label->setText(text);
        },
        Qt::QueuedConnection);
}

void LoadingProgress::runnerProgress(int current, int count)
{
    QPointer<QProgressBar> bar = bar_;
    QMetaObject::invokeMethod(
        qApp,
        [bar, current, count] {
            if (!bar)
                return;
            bar->setRange(0, qMax(count, 1));
            bar->setValue(qBound(0, current, qMax(count, 1)));
            bar->setFormat(QStringLiteral("%1 / %2 頭").arg(current).arg(count));
        },
        Qt::QueuedConnection);
}

}  // namespace marunoki::gui
