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
    // A message with what lies behind it (the page's address and the cause of a
    // failed fetch) for a user who wants to know more: the desktop program puts
    // the detail behind the box's "details" button, the command line writes it on
    // a "detail: " line after the message. An empty detail is a plain message.
    // Sinks without a place for it show the text alone.
    virtual void detailedMessage(const QString &text, const QString &detail)
    {
        (void)detail;
        message(text);
    }
};

// Whether a message says that something went wrong (it has a detail behind
// it, an error code "(err-AA01)", or says what could not be done), rather than
// telling the user what to do or what happened at their asking: the desktop
// shows it with the warning icon.
[[nodiscard]] inline bool isFailureMessage(const QString &text, const QString &detail)
{
    // "…できません", "…読み込めません", "…ありません": what could not be done.
    return !detail.isEmpty() || text.contains(QStringLiteral("(err-"))
        || text.contains(QStringLiteral("エラー")) || text.contains(QStringLiteral("ません"));
}

// Keeps every message in order; for tests and for callers that show them later.
class RecordingSink : public MessageSink {
public:
    void message(const QString &text) override
    {
        std::lock_guard lock(mutex_);
        messages_.append(text);
        details_.append(QString());
    }
    void detailedMessage(const QString &text, const QString &detail) override
    {
        std::lock_guard lock(mutex_);
        messages_.append(text);
        details_.append(detail);
    }
    QStringList messages() const
    {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    // The detail of each message, in the same order (empty for plain messages).
    QStringList details() const
    {
        std::lock_guard lock(mutex_);
        return details_;
    }
    void clear()
    {
        std::lock_guard lock(mutex_);
        messages_.clear();
        details_.clear();
    }

private:
    mutable std::mutex mutex_;
    QStringList messages_;
    QStringList details_;
};

}  // namespace marunoki
