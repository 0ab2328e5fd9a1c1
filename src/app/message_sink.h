#pragma once
// Where the messages go that the desktop program shows in a message box (an OK
// button and the default title): the GUI shows a QMessageBox, the command line
// prints "message: <text>" on stderr, tests record them. Implementations must be
// callable from the thread that runs a load.

#include <QString>
#include <QStringList>

#include <mutex>

namespace marunoki {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void message(const QString &text) = 0;
};

// Keeps every message in order; for tests and for callers that show them later.
class RecordingSink : public MessageSink {
public:
    void message(const QString &text) override
    {
        std::lock_guard lock(mutex_);
        messages_.append(text);
    }
    QStringList messages() const
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        messages_.clear();
    }

private:
    mutable std::mutex mutex_;
    QStringList messages_;
};

}  // namespace marunoki
