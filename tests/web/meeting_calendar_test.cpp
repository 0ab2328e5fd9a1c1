#include "web/meeting_calendar.h"

#include "app/message_sink.h"
#include "support/site_pages.h"
#include "web/page_table.h"

#include <gtest/gtest.h>

#include <memory>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kCalendarError = QStringLiteral("開催情報読込みエラー");

struct CalendarRead {
    explicit CalendarRead(const QString &html)
    {
        splitPage(html, *table);
        texts = parseKaisai(*table, messages);
    }
    std::unique_ptr<PageTable> table = std::make_unique<PageTable>();
    RecordingSink messages;
    CalendarTexts texts;
};

bool allEmpty(const CalendarTexts &t)
{
    for (const QString &d : t.days) {
        if (!d.isEmpty())
            return false;
    }
    for (const QString &m : t.meetings) {
        if (!m.isEmpty())
            return false;
    }
    return true;
}

CalendarDay day(const QString &date, int blankRowsBefore = 0)
{
    return {
        date, {date.left(1) + QStringLiteral("回東京1日"), QStringLiteral("1回京都2日")}, blankRowsBefore};
}

}  // namespace

TEST(MeetingCalendar, ReadsFourDaysAndTwelveMeetings)
{
    CalendarRead read(site1TopPage(sampleTopPage()));
    const CalendarTexts &t = read.texts;
    EXPECT_TRUE(read.messages.messages().isEmpty());
    ASSERT_TRUE(t.filled);
    EXPECT_EQ(t.days,
        (std::array<QString, 4> {QStringLiteral("5月26日(土)"), QStringLiteral("5月27日(日)"),
            QStringLiteral("6月2日(土)"), QStringLiteral("6月3日(日)")}));
    EXPECT_EQ(t.meetings[0], QStringLiteral("2回東京11日"));
    EXPECT_EQ(t.meetings[2], QStringLiteral("1回新潟3日"));
    EXPECT_EQ(t.meetings[3], QStringLiteral("2回東京12日"));
    EXPECT_EQ(t.meetings[5], QStringLiteral("1回新潟4日"));
    EXPECT_EQ(t.meetings[6], QStringLiteral("3回東京1日"));
    EXPECT_EQ(t.meetings[10], QStringLiteral("3回中京2日"));
    EXPECT_EQ(t.meetings[11], QStringLiteral("1回札幌2日"));
}

TEST(MeetingCalendar, OneTableOnlyFillsNothing)
{
    TopPage page = sampleTopPage();
    page.tables.pop_back();
    CalendarRead one(site1TopPage(page));
    EXPECT_EQ(one.messages.messages(), QStringList {kCalendarError});
    EXPECT_FALSE(one.texts.filled);
    EXPECT_TRUE(allEmpty(one.texts));

    page.tables.clear();
    CalendarRead none(site1TopPage(page));
    EXPECT_EQ(none.messages.messages(), QStringList {kCalendarError});
    EXPECT_FALSE(none.texts.filled);
}

TEST(MeetingCalendar, SecondDayIsTakenWithinFourRowsWhenItNamesAMonth)
{
    const struct {
        int blankRows;
        QString date;
        bool taken;
    } cases[] = {
        {0, QStringLiteral("5月27日(日)"), true},
        {3, QStringLiteral("5月27日(日)"), true},
        {4, QStringLiteral("5月27日(日)"), false},
        {6, QStringLiteral("5月27日(日)"), false},
        {0, QStringLiteral("27日(日)"), false},
    };
    for (const auto &c : cases) {
        TopPage page = sampleTopPage();
        page.tables[0].days[1] = day(c.date, c.blankRows);
        CalendarRead read(site1TopPage(page));
        ASSERT_TRUE(read.texts.filled) << c.blankRows;
        EXPECT_EQ(read.texts.days[1], c.taken ? c.date : QString()) << c.blankRows;
        EXPECT_EQ(read.texts.meetings[3], c.taken ? QStringLiteral("5回東京1日") : QString()) << c.blankRows;
        EXPECT_EQ(read.texts.meetings[5], QString()) << "the third meeting row is empty";
        // The second table is found all the same.
        EXPECT_EQ(read.texts.days[2], QStringLiteral("6月2日(土)")) << c.blankRows;
    }
}

TEST(MeetingCalendar, FirstTableWithOneDayLeavesTheSecondDayEmpty)
{
    // The next non-empty first cell is the second table's caption, without 月.
    TopPage page = sampleTopPage();
    page.tables[0].days.pop_back();
    CalendarRead read(site1TopPage(page));
    ASSERT_TRUE(read.texts.filled);
    EXPECT_EQ(read.texts.days[0], QStringLiteral("5月26日(土)"));
    EXPECT_TRUE(read.texts.days[1].isEmpty());
    EXPECT_TRUE(read.texts.meetings[3].isEmpty());
    EXPECT_TRUE(read.texts.meetings[4].isEmpty());
    EXPECT_TRUE(read.texts.meetings[5].isEmpty());
    EXPECT_EQ(read.texts.days[3], QStringLiteral("6月3日(日)"));
}

TEST(MeetingCalendar, HeadersAreLookedForUpToRows99And129)
{
    const struct {
        int first, second;
        bool filled;
    } cases[] = {{99, 129, true}, {100, 129, false}, {40, 130, false}, {40, 50, true}};
    for (const auto &c : cases) {
        auto table = std::make_unique<PageTable>();
        table->setCell(c.first, 1, QStringLiteral("月日"));
        table->setCell(c.first + 1, 1, QStringLiteral("6月2日(土)"));
        table->setCell(c.second, 1, QStringLiteral("月日"));
        table->setCell(c.second + 1, 1, QStringLiteral("6月9日(土)"));
        RecordingSink messages;
        const CalendarTexts texts = parseKaisai(*table, messages);
        EXPECT_EQ(texts.filled, c.filled) << c.first << "/" << c.second;
        EXPECT_EQ(messages.messages().isEmpty(), c.filled) << c.first << "/" << c.second;
        EXPECT_EQ(texts.days[2], c.filled ? QStringLiteral("6月9日(土)") : QString());
    }
}

TEST(MeetingCalendar, SecondHeaderSearchStartsRightAfterTheFirstHeaderMovedByTheSkippedRows)
{
    // With the second day right after the first (nothing skipped), the search for
    // the second header starts at the first day's row, so a "月日" among the first
    // day's meetings is taken for it.
    auto table = std::make_unique<PageTable>();
    table->setCell(10, 1, QStringLiteral("月日"));
    table->setCell(11, 1, QStringLiteral("5月26日(土)"));
    table->setCell(12, 1, QStringLiteral("月日"));
    table->setCell(13, 1, QStringLiteral("1回京都2日"));
    table->setCell(14, 1, QStringLiteral("5月27日(日)"));
    RecordingSink messages;
    const CalendarTexts texts = parseKaisai(*table, messages);
    ASSERT_TRUE(texts.filled);
    EXPECT_EQ(texts.meetings[1], QStringLiteral("月日"));
    EXPECT_EQ(texts.days[1], QStringLiteral("5月27日(日)"));
    EXPECT_EQ(texts.days[2], QStringLiteral("1回京都2日"));
    EXPECT_EQ(texts.days[3], QString()) << "row 16 holds no day";
}

TEST(MeetingSelection, CaptionToSelectionBoxes)
{
    const struct {
        QString caption;
        QString meeting, day, course;
    } cases[] = {
        {QStringLiteral("3回東京5日"), QStringLiteral("03"), QStringLiteral("05"), QStringLiteral("東京")},
        {QStringLiteral("2回小倉10日"), QStringLiteral("02"), QStringLiteral("10"), QStringLiteral("小倉")},
        {QStringLiteral("12回阪神8日"), QStringLiteral("12"), QStringLiteral("08"), QStringLiteral("阪神")},
        {QString(), QString(), QStringLiteral("00"), QString()},
        {QStringLiteral("東京5日"), QString(), QStringLiteral("00"), QString()},  // no 回
        {QStringLiteral("3回東京"), QString(), QStringLiteral("00"), QString()},  // no 日
        {QStringLiteral("X回東京5日"), QString(), QStringLiteral("00"), QString()},  // meeting not a number
        {QStringLiteral("3回東京X日"), QString(), QStringLiteral("00"), QString()},  // day not a number
        {QStringLiteral("3回東京日"), QString(), QStringLiteral("00"), QString()},  // no day
        {QStringLiteral("3回日"), QString(), QStringLiteral("00"), QString()},  // 日 before the course ends
        {QStringLiteral("0回東京1日"), QString(), QStringLiteral("00"), QString()},
    };
    for (const auto &c : cases) {
        const MeetingSelection s = meetingSelection(c.caption);
        EXPECT_EQ(s.meeting, c.meeting) << c.caption.toStdString();
        EXPECT_EQ(s.day, c.day) << c.caption.toStdString();
        EXPECT_EQ(s.course, c.course) << c.caption.toStdString();
    }
}
