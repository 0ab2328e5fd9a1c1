#pragma once
// The terminal side of a load: messages and the loader's status line on stderr.
//
// Messages are one line each, "message: <text>"; a message with a detail (the
// failed page's address and cause) is followed by a line "detail: <detail>". The status line is rewritten in
// place (carriage return, clear to end of line) when stderr is a terminal, and
// written as plain lines otherwise, so logs of a pipe stay readable. A message
// that arrives while a status line is showing starts on a fresh line.

#include "app/message_sink.h"
#include "web/page_loader.h"

#include <cstdio>
#include <mutex>

namespace marunoki::cli {

class Console : public MessageSink, public ProgressSink {
public:
    // stream is not owned (stderr in the program). interactive: rewrite the
    // status line in place.
    Console(std::FILE *stream, bool interactive);
    ~Console() override;
    Console(const Console &) = delete;
    Console &operator=(const Console &) = delete;

    // Whether the stream is a terminal.
    static bool isTerminal(std::FILE *stream);

    void message(const QString &text) override;
    void detailedMessage(const QString &text, const QString &detail) override;
    void status(const QString &text) override;
    // A line of its own (never rewritten), followed by a "detail: " line when
    // detail is not empty: a race day's line for a race.
    void line(const QString &text, const QString &detail = QString());
    // Ends a status line left open on a terminal.
    void finish();

private:
    void write(const QByteArray &bytes);

    std::FILE *stream_;
    bool interactive_;
    bool statusOpen_ = false;
    std::mutex mutex_;
};

}  // namespace marunoki::cli
