#include "gui/gui_sinks.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QThread>

namespace marunoki::gui {

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

void MessageBoxSink::detailedMessage(const QString &text, const QString &detail)
{
    auto show = [this, text, detail] {
        if (silenced_)
            return;
        if (before_)
            before_();
        QMessageBox box(
            QMessageBox::Information, QApplication::applicationName(), text, QMessageBox::Ok, parent_.data());
        if (!detail.isEmpty())
            box.setDetailedText(detail);
        box.exec();
        if (after_)
            after_();
    };
    if (silenced_)
        return;
    if (QThread::currentThread() == qApp->thread())
        show();
    else
        QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
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
