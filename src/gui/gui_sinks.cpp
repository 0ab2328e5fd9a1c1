#include "gui/gui_sinks.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QThread>

namespace marunoki::gui {

MessageBoxSink::MessageBoxSink(QWidget *parent)
    : parent_(parent)
{ }

void MessageBoxSink::message(const QString &text)
{
    auto show = [this, text] { QMessageBox::information(parent_, QApplication::applicationName(), text); };
    if (QThread::currentThread() == qApp->thread())
        show();
    else
        QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
}

LabelProgress::LabelProgress(QLabel *label)
    : label_(label)
{ }

void LabelProgress::status(const QString &text)
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

}  // namespace marunoki::gui
