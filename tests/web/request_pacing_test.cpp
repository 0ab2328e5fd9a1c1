#include "web/request_pacing.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <cmath>
#include <map>
#include <vector>

namespace marunoki {
namespace {

using namespace std::chrono_literals;

// Time moves only when the test says so.
class FakeClock : public Clock {
public:
    std::chrono::steady_clock::time_point now() const override { return now_; }
    void advance(std::chrono::nanoseconds by) { now_ += by; }

private:
    std::chrono::steady_clock::time_point now_ {std::chrono::hours(1000)};
};

// Starts `count` requests as soon as the pacer lets each go, the clock moving
// exactly as long as it says to wait; the start times in ms from the first.
std::vector<double> startAsFastAsAllowed(RequestPacer &pacer, FakeClock &clock, int count)
{
    std::vector<double> starts;
    const auto origin = clock.now();
    for (int i = 0; i < count; ++i) {
        for (auto wait = pacer.wait(); wait.count() > 0; wait = pacer.wait())
            clock.advance(wait);
        pacer.started();
        starts.push_back(std::chrono::duration<double, std::milli>(clock.now() - origin).count());
    }
    return starts;
}

// The most starts in any one second: any window [t, t + 1 s) that opens at a start.
int mostInOneSecond(const std::vector<double> &starts)
{
    int most = 0;
    for (size_t i = 0; i < starts.size(); ++i) {
        int n = 0;
        for (size_t j = i; j < starts.size() && starts[j] < starts[i] + 1000; ++j)
            ++n;
        most = std::max(most, n);
    }
    return most;
}

TEST(RequestPacer, NoSecondHoldsMoreStartsThanTheRateAndNoStartWaitsLonger)
{
    const struct {
        double rate;
        int most;  // in one second
    } cases[] = {{4, 4}, {1, 1}, {2.5, 3}, {3, 3}, {7, 7}, {0.5, 1}, {50, 50}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rate);
        FakeClock clock;
        RequestPacer pacer(clock);
        pacer.setRate(c.rate);
        const int count = 2 * int(std::ceil(c.rate)) + 5;
        const std::vector<double> starts = startAsFastAsAllowed(pacer, clock, count);
        EXPECT_EQ(mostInOneSecond(starts), c.most);
        // Not slower than the rate either: each start follows the one before
        // after its spacing, to the nanosecond.
        const double spacing = 1000 * kSpacingMargin / c.rate;
        for (size_t i = 1; i < starts.size(); ++i)
            EXPECT_NEAR(starts[i] - starts[i - 1], spacing, 1e-6) << i;
    }
}

TEST(RequestPacer, WithoutARateNothingWaitsAndTheSpacingCountsFromTheLastStart)
{
    for (double rate : {0.0, -1.0}) {
        FakeClock clock;
        RequestPacer pacer(clock);
        pacer.setRate(rate);
        EXPECT_EQ(startAsFastAsAllowed(pacer, clock, 50).back(), 0) << rate;
    }
    FakeClock clock;
    RequestPacer pacer(clock);
    pacer.setRate(4);
    EXPECT_EQ(pacer.wait(), 0ms);  // the first request goes at once
    pacer.started();
    EXPECT_EQ(pacer.wait(), 255ms);  // a quarter second and its margin
    clock.advance(100ms);
    EXPECT_EQ(pacer.wait(), 155ms);
    clock.advance(10s);  // a quiet spell saves no starts for a burst later
    EXPECT_EQ(pacer.wait(), 0ms);
    pacer.started();
    EXPECT_EQ(pacer.wait(), 255ms);
    pacer.setRate(0);  // switched off, it lets the next go at once
    EXPECT_EQ(pacer.wait(), 0ms);
}

TEST(RequestPacer, AHoldStopsEveryStartUntilItsEndAndIsNeverShortened)
{
    FakeClock clock;
    RequestPacer pacer(clock);
    pacer.setRate(4);
    pacer.started();
    pacer.holdFor(30s);
    EXPECT_EQ(pacer.wait(), 30s);
    clock.advance(10s);
    pacer.holdFor(5s);  // an earlier end does not cut the wait short
    EXPECT_EQ(pacer.wait(), 20s);
    pacer.holdFor(25s);
    EXPECT_EQ(pacer.wait(), 25s);
    clock.advance(25s);
    EXPECT_EQ(pacer.wait(), 0ms);
    pacer.started();
    EXPECT_EQ(pacer.wait(), 255ms);  // and the rate holds after it
}

TEST(RetryWait, WaitsOutOnlyABusySiteWithAShortEnoughRetryAfter)
{
    const QDateTime now(QDate(2026, 12, 8), QTime(19, 30, 0), QTimeZone::utc());
    const struct {
        int status;
        const char *retryAfter;
        int retries;
        int seconds;  // -1: the answer is final
    } cases[] = {
        {503, "30", 0, 30}, {429, "0", 0, 0}, {429, " 7 ", 2, 7}, {503, "60", 0, 60},
        {503, "61", 0, -1},  // longer than a minute: not asked again soon
        {503, "99999999999999999999999", 0, -1}, {503, "30", 3, -1},  // three tries again are all
        {500, "30", 0, -1}, {404, "30", 0, -1}, {200, "30", 0, -1}, {503, "", 0, -1}, {503, "soon", 0, -1},
        {503, "-5", 0, -1}, {503, "2.5", 0, -1}, {503, "Tue, 08 Dec 2026 19:30:45 GMT", 0, 45},
        {429, "Tuesday, 08-Dec-26 19:30:20 GMT", 1, 20}, {503, "Tue Dec  8 19:30:59 2026", 0, 59},
        {503, "Tue, 08 Dec 2026 19:29:00 GMT", 0, 0},  // already past: at once
        {503, "Tue, 08 Dec 2026 19:32:00 GMT", 0, -1},  // two minutes ahead
        {503, "Tue, 08 Dec 2026 19:30:45", 0, -1},  // not a date HTTP writes
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.status << " " << c.retryAfter << " after " << c.retries);
        const auto wait = retryWait(c.status, QByteArray(c.retryAfter), c.retries, now);
        if (c.seconds < 0) {
            EXPECT_FALSE(wait.has_value()) << wait->count();
        } else {
            ASSERT_TRUE(wait.has_value());
            EXPECT_EQ(wait->count(), c.seconds);
        }
    }
}

}  // namespace
}  // namespace marunoki
