#include "cli/console.h"

#include <unistd.h>

namespace marunoki::cli {

Console::Console(std::FILE *stream, bool interactive)
    : stream_(stream)
    , interactive_(interactive)
{ }

Console::~Console()
{
    finish();
}

bool Console::isTerminal(std::FILE *stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

void Console::write(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream_);
    std::fflush(stream_);
}

namespace {

// A message is one line: a line end inside it would make two.
QByteArray oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\n', u' ').replace(u'\r', u' ');
    return text.toUtf8();
}

}  // namespace

void Console::message(const QString &text)
{
    detailedMessage(text, QString());
}

void Console::detailedMessage(const QString &text, const QString &detail)
{
    std::lock_guard lock(mutex_);
    QByteArray line;
    if (statusOpen_) {
        line += '\n';
        statusOpen_ = false;
    }
    line += "message: " + oneLine(text) + '\n';
    if (!detail.isEmpty())
        line += "detail: " + oneLine(detail) + '\n';
    write(line);
}

void Console::line(const QString &text, const QString &detail)
{
    std::lock_guard lock(mutex_);
    QByteArray out;
    if (statusOpen_) {
        out += '\n';
        statusOpen_ = false;
    }
    out += oneLine(text) + '\n';
    if (!detail.isEmpty())
        out += "detail: " + oneLine(detail) + '\n';
    write(out);
}

void Console::status(const QString &text)
{
    std::lock_guard lock(mutex_);
    if (interactive_) {
        write("\r" + text.toUtf8() + "\x1b[K");
        statusOpen_ = true;
    } else {
        write(text.toUtf8() + '\n');
    }
}

void Console::finish()
{
    std::lock_guard lock(mutex_);
    if (statusOpen_) {
        write("\n");
        statusOpen_ = false;
    }
}

}  // namespace marunoki::cli
