#pragma once
// The desktop program's message and progress sinks. A load runs on a worker
// thread; its messages are shown as message boxes on the user-interface thread
// and the worker waits for OK, as the user would expect from a modal message.

#include "app/message_sink.h"
#include "web/page_loader.h"

#include <QObject>
#include <QPointer>

class QLabel;
class QWidget;

namespace marunoki::gui {

class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget *parent);
    void message(const QString &text) override;

private:
    QPointer<QWidget> parent_;
};

// Writes the loader's status line into a label, from any thread.
class LabelProgress : public ProgressSink {
public:
    explicit LabelProgress(QLabel *label);
    void status(const QString &text) override;

private:
    QPointer<QLabel> label_;
};

}  // namespace marunoki::gui
