#include "db/stored_date.h"

#include "app/format.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace marunoki;

TEST(StoredDate, WritesTheWholeDayOfASerialDate)
{
    const struct {
        double serial;
        const char *day;
        const char *next;
    } cases[] = {
        {0, "1899-12-30", "1899-12-31"}, {38997, "2006-10-07", "2006-10-08"},
        {38997.75, "2006-10-07", "2006-10-08"},  // a time of day does not move the day
        {60, "1900-02-28", "1900-03-01"},  // 1900 is no leap year
        {46203, "2026-06-30", "2026-07-01"}, {-1, "1899-12-29", "1899-12-30"},
        {-1.25, "1899-12-29", "1899-12-30"},  // Access: day -1 at 06:00
    };
    for (const auto &c : cases) {
        EXPECT_EQ(storedDay(c.serial), c.day) << c.serial;
        EXPECT_EQ(storedNextDay(c.serial), c.next) << c.serial;
    }
}

TEST(StoredDate, WritesATimeOnlyWhenThereIsOne)
{
    EXPECT_EQ(storedDateTime(27293), "1974-09-21");
    EXPECT_EQ(storedDateTime(38997.5), "2006-10-07 12:00:00");
    EXPECT_EQ(storedDateTime(38997 + 3723 / 86400.0), "2006-10-07 01:02:03");
    // A value a hair below midnight rounds to the next day, not to 24:00:00.
    EXPECT_EQ(storedDateTime(38997.9999999), "2006-10-08");
    EXPECT_EQ(storedDateTime(-1.25), "1899-12-29 06:00:00");
    // Outside the years 1..9999 there is no date.
    EXPECT_EQ(storedDateTime(1e12), "");
    EXPECT_EQ(storedDateTime(-1e12), "");
    EXPECT_EQ(storedDateTime(std::nan("")), "");
    EXPECT_EQ(storedDay(1e12), "");
    const double first = serialFromYmd(1, 1, 1).value_or(0);
    const double last = serialFromYmd(9999, 12, 31).value_or(0);
    EXPECT_EQ(storedDay(first), "0001-01-01");
    EXPECT_EQ(storedDay(last), "9999-12-31");
    EXPECT_EQ(storedDay(first - 1), "");
    EXPECT_EQ(storedDay(last + 1), "");
}

TEST(StoredDate, ReadsItsOwnTextsBack)
{
    for (double serial : {0.0, 38997.0, 38997.5, 46387.0, 2.0, -1.25})
        EXPECT_DOUBLE_EQ(serialFromStored(storedDateTime(serial)).value_or(-999), serial) << serial;
    EXPECT_DOUBLE_EQ(serialFromStored("2006-10-07T06:00:00").value_or(0), 38997.25);
}

TEST(StoredDate, RejectsTextsThatAreNotStoredDates)
{
    for (const char *text :
        {"", "2006/10/07", "2006-10-7", "2006-13-01", "2006-02-29", "2006-10-07 ", "2006-10-07 25:00:00",
            "2006-10-07 12:00", "abcd-ef-gh", "2006-10-07x", "2006", "2006-10", "2006-10-0"})
        EXPECT_FALSE(serialFromStored(text).has_value()) << text;
    EXPECT_TRUE(serialFromStored("2008-02-29").has_value());
}
