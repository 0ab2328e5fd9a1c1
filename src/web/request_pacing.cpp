#include "web/request_pacing.h"

#include <QLocale>
#include <QTimeZone>

#include <algorithm>
#include <limits>

namespace marunoki {

namespace {

class SteadyClock : public Clock {
public:
    std::chrono::steady_clock::time_point now() const override { return std::chrono::steady_clock::now(); }
};

bool allDigits(const QByteArray &text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An HTTP date in any of its three forms, in UTC; an invalid QDateTime when the
// text is none of them.
QDateTime httpDate(const QByteArray &value, const QDateTime &nowUtc)
{
    // simplified() folds the asctime form's two spaces before a one-digit day.
    // The day of the week goes: it says nothing the date does not, and Qt would
    // check it against the year it reads from two digits.
    QString text = QString::fromLatin1(value).simplified();
    const qsizetype comma = text.indexOf(u',');
    text = comma >= 0 ? text.mid(comma + 1).trimmed() : text.section(u' ', 1);
    const QLocale c = QLocale::c();
    for (const QString &format : {QStringLiteral("dd MMM yyyy HH:mm:ss 'GMT'"),
             QStringLiteral("dd-MMM-yy HH:mm:ss 'GMT'"), QStringLiteral("MMM d HH:mm:ss yyyy")}) {
        QDateTime date = c.toDateTime(text, format);
        if (!date.isValid())
            continue;
        date.setTimeZone(QTimeZone::utc());
        // A two-digit year that would lie more than 50 years ahead is of the
        // century before (how HTTP reads the older form); Qt reads "26" as 1926.
        if (format.startsWith(QStringLiteral("dd-")) && date.date().year() + 100 <= nowUtc.date().year() + 50)
            date = date.addYears(100);
        return date;
    }
    return {};
}

}  // namespace

const Clock &steadyClock()
{
    static const SteadyClock clock;
    return clock;
}

RequestPacer::RequestPacer(const Clock &clock)
    : clock_(clock)
{ }

void RequestPacer::setRate(double perSecond)
{
    if (!(perSecond > 0)) {
        spacing_ = std::chrono::nanoseconds {0};
        return;
    }
    // Rounded up: a spacing a little short would let rate + 1 starts into one
    // second. A rate too small to mean anything is one start a day.
    const double seconds = std::min(kSpacingMargin / perSecond, 86400.0);
    spacing_ = std::chrono::ceil<std::chrono::nanoseconds>(std::chrono::duration<double>(seconds));
}

std::chrono::nanoseconds RequestPacer::wait() const
{
    auto allowed = heldUntil_;
    if (lastStart_ && spacing_.count() > 0)
        allowed = std::max(allowed, *lastStart_ + spacing_);
    const auto now = clock_.now();
    if (allowed <= now)
        return std::chrono::nanoseconds {0};
    return allowed - now;
}

void RequestPacer::started()
{
    lastStart_ = clock_.now();
}

void RequestPacer::holdFor(std::chrono::milliseconds delay)
{
    heldUntil_ = std::max(heldUntil_, clock_.now() + delay);
}

std::optional<std::chrono::seconds> retryAfterDelay(const QByteArray &value, const QDateTime &nowUtc)
{
    const QByteArray text = value.trimmed();
    if (allDigits(text)) {
        bool ok = false;
        const qint64 seconds = text.toLongLong(&ok);
        // Too many digits for a number is still a wait far too long.
        return std::chrono::seconds(ok ? seconds : std::numeric_limits<qint64>::max());
    }
    const QDateTime date = httpDate(text, nowUtc);
    if (!date.isValid())
        return std::nullopt;
    return std::chrono::seconds(std::max<qint64>(0, nowUtc.secsTo(date)));
}

std::optional<std::chrono::seconds> retryWait(
    int status, const QByteArray &retryAfter, int retries, const QDateTime &nowUtc)
{
    if ((status != 429 && status != 503) || retries >= kMaxRetries)
        return std::nullopt;
    const auto delay = retryAfterDelay(retryAfter, nowUtc);
    if (!delay || *delay > kMaxRetryWait)
        return std::nullopt;
    return delay;
}

}  // namespace marunoki
