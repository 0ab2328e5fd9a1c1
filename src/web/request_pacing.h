#pragma once
// Manners towards a site: how fast requests are started, and what is done when
// the site answers that it is busy.
//
// - RequestPacer spaces the starts of requests kSpacingMargin/rate seconds
//   apart (a bucket of one token), so no second holds more than `rate` starts,
//   and starts nothing before a time the site named (Retry-After). It reads
//   time from a Clock, so a test moves time by hand.
// - retryWait() decides whether a busy answer (HTTP 429 or 503) is waited out
//   and tried again: only with a Retry-After of at most kMaxRetryWait, and at
//   most kMaxRetries times for one page. A site that asks for longer is not
//   asked again soon: the page fails with its status.
//
// Not thread-safe: the network source keeps its pacer on its network thread.

#include <QByteArray>
#include <QDateTime>

#include <chrono>
#include <optional>

namespace marunoki {

// Where the pacer reads the time; the steady clock unless a test sets one.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::steady_clock::time_point now() const = 0;
};

// The process's steady clock.
const Clock &steadyClock();

// The spacing of starts is this much longer than 1/rate: the site's log sees
// our starts moved about by the network's jitter, and a second of it should
// still hold no more than `rate` of them.
inline constexpr double kSpacingMargin = 1.02;

class RequestPacer {
public:
    explicit RequestPacer(const Clock &clock = steadyClock());

    // Requests started per second; 0 (or anything not above 0) is no limit.
    // The spacing applies from the last start on.
    void setRate(double perSecond);

    // How long until the next request may start; zero when it may start now.
    std::chrono::nanoseconds wait() const;
    // A request starts now.
    void started();
    // Nothing starts before now + delay; an earlier hold still in force is
    // lengthened, never shortened.
    void holdFor(std::chrono::milliseconds delay);

private:
    const Clock &clock_;
    std::chrono::nanoseconds spacing_ {0};
    std::optional<std::chrono::steady_clock::time_point> lastStart_;
    std::chrono::steady_clock::time_point heldUntil_ {};
};

// The longest Retry-After that is waited out, and how often one page is tried
// again after a busy answer.
inline constexpr std::chrono::seconds kMaxRetryWait {60};
inline constexpr int kMaxRetries = 3;

// The delay a Retry-After value asks for: whole seconds ("120") or an HTTP date
// ("Wed, 21 Oct 2026 07:28:00 GMT", also the two older forms HTTP still
// allows), counted from nowUtc; a date already past is zero. Nothing for a
// value that is neither.
std::optional<std::chrono::seconds> retryAfterDelay(const QByteArray &value, const QDateTime &nowUtc);

// How long to wait before trying a page again after an answer with this HTTP
// status and Retry-After header, when it was already tried again `retries`
// times; nothing when the answer is final (any other status, no usable
// Retry-After, a wait over kMaxRetryWait, or kMaxRetries used up).
std::optional<std::chrono::seconds> retryWait(
    int status, const QByteArray &retryAfter, int retries, const QDateTime &nowUtc);

}  // namespace marunoki
