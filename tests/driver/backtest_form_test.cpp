#include "driver/backtest_form.h"

#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace marunoki {
namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);

BacktestChoices choices(int year, std::initializer_list<int> courses, int first, int last)
{
    BacktestChoices c;
    c.year = year;
    for (int course : courses)
        c.courses[size_t(course - 1)] = true;
    c.firstMeeting = first;
    c.lastMeeting = last;
    return c;
}

// What the dialog hands over is what the backtest walks; anything it cannot
// walk is one line and no request.
TEST(BacktestForm, TheChoicesBecomeTheRequestOrOneProblem)
{
    BacktestChoices noSite = choices(2025, {5}, 1, 5);
    noSite.site = ReadingSite::None;
    BacktestChoices siteTwo = choices(2026, {10, 5}, 2, 2);
    siteTwo.site = ReadingSite::Two;
    const struct {
        const char *name;
        BacktestChoices choices;
        QString problem;  // empty: a request
        QStringList courses;
    } cases[] = {
        {"one course, meetings 1-5", choices(2025, {5}, 1, 5), {}, {QStringLiteral("05")}},
        {"courses in table order, this year", siteTwo, {}, {QStringLiteral("05"), QStringLiteral("10")}},
        {"every meeting", choices(1986, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 1, kMaxMeetingsOfYear), {},
            {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10"}},
        {"no site", noSite, QStringLiteral("サイト"), {}},
        {"a year before the sites", choices(1985, {5}, 1, 5), QStringLiteral("1986 から 2026"), {}},
        {"a year not begun", choices(2027, {5}, 1, 5), QStringLiteral("1986 から 2026"), {}},
        {"no course", choices(2025, {}, 1, 5), QStringLiteral("場を"), {}},
        {"meeting 0", choices(2025, {5}, 0, 5), QStringLiteral("開催回"), {}},
        {"past the last meeting", choices(2025, {5}, 1, kMaxMeetingsOfYear + 1), QStringLiteral("開催回"),
            {}},
        {"the wrong way round", choices(2025, {5}, 4, 3), QStringLiteral("開催回"), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const BacktestRequestCheck check = backtestRequestOf(c.choices, kNow);
        if (!c.problem.isEmpty()) {
            EXPECT_FALSE(check.request.has_value());
            EXPECT_TRUE(check.problem.contains(c.problem)) << check.problem.toStdString();
            continue;
        }
        ASSERT_TRUE(check.request.has_value()) << check.problem.toStdString();
        EXPECT_TRUE(check.problem.isEmpty());
        const BacktestRequest &r = *check.request;
        EXPECT_EQ(r.site, c.choices.site);
        EXPECT_EQ(r.year, c.choices.year);
        EXPECT_EQ(r.courses, c.courses);
        EXPECT_EQ(r.firstMeeting, c.choices.firstMeeting);
        EXPECT_EQ(r.lastMeeting, c.choices.lastMeeting);
        EXPECT_EQ(r.now, kNow);
        EXPECT_FALSE(r.refresh);
    }
}

TEST(BacktestForm, StartsOnTheSettingsSiteLastSeasonAndEveryCourse)
{
    for (ReadingSite site : {ReadingSite::One, ReadingSite::Two, ReadingSite::None}) {
        Settings settings;
        settings.site = site;
        const BacktestChoices c = defaultBacktestChoices(settings, QDate(2026, 12, 8));
        EXPECT_EQ(c.site, site == ReadingSite::Two ? ReadingSite::Two : ReadingSite::One);
        EXPECT_EQ(c.year, 2025);
        EXPECT_EQ(std::count(c.courses.begin(), c.courses.end(), true), kCourseCount);
        EXPECT_TRUE(backtestRequestOf(c, kNow).request.has_value());
    }
}

TEST(BacktestForm, TheLoadingLineNamesTheDayTheCountsAndTheTimeLeft)
{
    BacktestProgress p;
    p.course = QStringLiteral("05");
    p.meeting = 1;
    p.day = 3;
    p.date = QDate(2025, 5, 3);
    p.days = 5;
    p.races = 57;
    p.pagesFetched = 430;
    p.pagesCached = 120;
    p.elapsedMs = 60'000;
    EXPECT_EQ(backtestStatusLine(p),
        QStringLiteral("2025-05-03 1回東京3日　5 日・57 レース済み　頁 430・キャッシュ 120"));
    EXPECT_EQ(backtestPercent(p), 0);  // no estimate yet
    p.remainingMs = 180'000;
    EXPECT_TRUE(backtestStatusLine(p).endsWith(QStringLiteral("　残り 約 3 分")));
    EXPECT_EQ(backtestPercent(p), 25);
    p.remainingMs = 60'000;
    EXPECT_TRUE(backtestStatusLine(p).endsWith(QStringLiteral("　残り 約 1 分")));
    p.remainingMs = 20'000;
    EXPECT_TRUE(backtestStatusLine(p).endsWith(QStringLiteral("残り 1 分未満")));
    EXPECT_EQ(backtestPercent(p), 75);
    p.remainingMs = 0;
    EXPECT_EQ(backtestPercent(p), 100);
    p.elapsedMs = 0;  // the very start: nothing done, whatever is left
    p.remainingMs = 1;
    EXPECT_EQ(backtestPercent(p), 0);
}

BacktestRace race(int number, BacktestRaceState state, const QString &reason = {})
{
    BacktestRace r;
    r.key.course = QStringLiteral("05");
    r.key.meeting = 1;
    r.key.day = 3;
    r.key.race = number;
    r.state = state;
    r.reason = reason;
    return r;
}

// The one message at the end: never a success for a run that went wrong, and
// every race not read named (in the detail when there are many).
TEST(BacktestForm, TheEndSaysTheTotalsAndEveryRaceNotRead)
{
    using S = BacktestRaceState;
    BacktestOutcome whole;
    whole.days = 1;
    whole.pagesFetched = 30;
    whole.pagesCached = 4;
    whole.races = {race(1, S::Analysed), race(2, S::PassedOver)};
    BacktestOutcome gaps = whole;
    gaps.races.push_back(race(3, S::NotRead, QStringLiteral("出馬表が読めません")));
    gaps.races.push_back(race(4, S::Incomplete, QStringLiteral("1頭の成績が欠けています")));
    BacktestOutcome many = whole;
    for (int r = 1; r <= 12; ++r)
        many.races.push_back(race(r, S::NotRead, QStringLiteral("理由%1").arg(r)));
    BacktestOutcome stopped = whole;
    stopped.stopped = true;
    BacktestOutcome failed = whole;
    failed.status = Status::failure(QStringLiteral("成績ノートに書けません"));
    BacktestOutcome nothing;
    const struct {
        const char *name;
        const BacktestOutcome &outcome;
        bool success;
        QStringList inText;
        int detailLines;
    } cases[] = {
        {"every race read", whole, true,
            {QStringLiteral("終えました"),
                QStringLiteral(
                    "1 日、解析 1 レース、欠けあり 0、読めず 0、記録済みで省略 1、頁 30（キャッシュ 4）")},
            0},
        {"two races not whole", gaps, false,
            {QStringLiteral("欠けあり 1、読めず 1"), QStringLiteral("1回東京3日 3R: 出馬表が読めません"),
                QStringLiteral("1回東京3日 4R: 1頭の成績が欠けています")},
            2},
        {"more than the text shows", many, false, {QStringLiteral("理由10"), QStringLiteral("ほか 2 レース")},
            12},
        {"stopped", stopped, false, {QStringLiteral("中止しました")}, 0},
        {"the journal failed", failed, false, {QStringLiteral("成績ノートに書けません")}, 0},
        {"nothing analysed", nothing, false, {QStringLiteral("解析できたレースはありません")}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ResultsReport report = backtestReport(c.outcome);
        EXPECT_EQ(report.success, c.success);
        for (const QString &part : c.inText)
            EXPECT_TRUE(report.text.contains(part)) << part.toStdString() << " in\n"
                                                    << report.text.toStdString();
        EXPECT_EQ(report.success, report.text.contains(QStringLiteral("終えました")));
        EXPECT_FALSE(report.text.contains(QStringLiteral("理由11")));
        EXPECT_EQ(report.detail.isEmpty() ? 0 : report.detail.count(u'\n') + 1, c.detailLines);
    }
}

}  // namespace
}  // namespace marunoki
