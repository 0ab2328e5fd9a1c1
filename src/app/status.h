#pragma once
// The result of an operation that either succeeds or fails with a reason the
// user can read. Results that carry data keep their own types; this one only
// says "done" or "not done, because ...".

#include <QString>

#include <utility>

namespace marunoki {

class [[nodiscard]] Status {
public:
    static Status success() { return Status(); }
    static Status failure(QString message) { return Status(std::move(message), false); }

    bool ok() const { return ok_; }
    // The reason of a failure, in the user's language; empty on success.
    const QString &message() const { return message_; }

private:
    Status() = default;
    Status(QString message, bool ok)
        : message_(std::move(message))
        , ok_(ok)
    { }

    QString message_;
    bool ok_ = true;
};

}  // namespace marunoki
