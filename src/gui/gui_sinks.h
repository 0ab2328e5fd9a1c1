#pragma once
// The desktop program's message and progress sinks. A load runs on a worker
// thread; its messages are shown as message boxes on the user-interface thread
// and the worker waits for OK, as the user would expect from a modal message,
// or until the sink is silenced (the program is ending and nobody will press
// OK). A message with a detail (the failed page's address and cause) shows it
// behind the box's details button; OK stays the button Enter presses. The boxes
// carry the program's title, whole; a failure has the warning icon.

#include "app/message_sink.h"
#include "web/page_loader.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>

class QLabel;
class QMessageBox;
class QProgressBar;
class QWidget;

namespace marunoki::gui {

// Makes a message box wide enough for its whole title beside the window
// manager's buttons: a short message would otherwise leave it "中央競… unoki".
void fitTitle(QMessageBox &box);

class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(QWidget *parent);
    void message(const QString &text) override;
    void detailedMessage(const QString &text, const QString &detail) override;

    // While silenced (the program is ending) messages are dropped: nobody is
    // left to read them.
    void setSilenced(bool silenced) { silenced_ = silenced; }
    // Runs on the user-interface thread before a box opens (the window closes its
    // loading window there) and after it was dismissed.
    void setAroundMessage(std::function<void()> before, std::function<void()> after);

private:
    void show(const QString &text, const QString &detail);

    QPointer<QWidget> parent_;
    // Lives on the user-interface thread: a box asked for by a worker opens
    // there, and not at all once the sink is gone.
    QObject anchor_;
    std::atomic<bool> silenced_ {false};
    std::function<void()> before_;
    std::function<void()> after_;
};

// Writes the loader's status line into a label and the runner count into a
// progress bar, from any thread. Either may be gone by the time an update
// arrives.
class LoadingProgress : public ProgressSink {
public:
    LoadingProgress(QLabel *label, QProgressBar *bar);
    void status(const QString &text) override;
    void runnerProgress(int current, int count) override;

private:
    QPointer<QLabel> label_;
    QPointer<QProgressBar> bar_;
};

}  // namespace marunoki::gui
