#include "app/format.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace marunoki;

namespace {

struct NumberCase {
    double value;
    const char *pattern;
    const char *expected;
};

struct TextCase {
    const char *text;
    std::optional<double> expected;
};

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

}  // namespace

// ------------------------------------------------------------------ formatNumber

TEST(FormatNumber, FollowsThePatternPlaceholders)
{
    const NumberCase cases[] = {
        {5, "00", "05"},
        {56, "00", "56"},
        {103, "00", "103"},  // digits the pattern has no room for are kept
        {103, "000", "103"},
        {7, "000", "007"},
        {2900, "0000", "2900"},
        {0, "00", "00"},
        {0, "##", ""},  // nothing significant to show
        {7, "##", "7"},
        {0, "#0", "0"},
        {5, "0#", "05"},  // a "0" forces every digit to its right
        {0.8, "##.0", ".8"},
        {12.34, "##.0", "12.3"},
        {0, "##.0", ".0"},
        {95.3, "#0.0", "95.3"},
        {0.2, "#0.0", "0.2"},
        {34.5, "00.0", "34.5"},
        {5, "00.0", "05.0"},
        {57, "00.0", "57.0"},
        {1.5, "0.0#", "1.5"},
        {1.25, "0.0#", "1.25"},
        {5, "0.##", "5."},  // the point is always written
        {1234567, "0", "1234567"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value, u8(c.pattern)), u8(c.expected)) << c.value << " " << c.pattern;
}

TEST(FormatNumber, RoundsHalfAwayFromZeroInDecimal)
{
    const NumberCase cases[] = {
        {56.5, "00", "57"},
        {57.5, "00", "58"},
        {56.49, "00", "56"},
        {-56.5, "00", "-57"},
        {0.5, "0", "1"},
        {-0.5, "0", "-1"},
        {99.95, "00.0", "100.0"},  // the carry lengthens the number
        {9.96, "#0.0", "10.0"},
        {0.285, "0.00", "0.29"},  // binary 0.28499.. still rounds up in decimal
        {1.005, "0.00", "1.01"},
        {34.45, "00.0", "34.5"},
        {0.04, "0.0", "0.0"},
        {0.05, "0.0", "0.1"},
        {0.0004, "0.000", "0.000"},
        {0.0005, "0.000", "0.001"},
        {1e-20, "0.0", "0.0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value, u8(c.pattern)), u8(c.expected)) << c.value << " " << c.pattern;
}

TEST(FormatNumber, PutsTheMinusSignInFrontOfEveryNegativeValue)
{
    const NumberCase cases[] = {
        {-5, "00", "-05"},
        {-5, "000", "-005"},
        {-103, "00", "-103"},
        {-0.8, "##.0", "-.8"},
        {-12.25, "#0.0", "-12.3"},
        {-0.04, "0.0", "-0.0"},  // rounds to zero: still negative
        {-0.3, "00", "-00"},
        {-0.4999, "000", "-000"},
        {-0.0, "00", "00"},
        {-0.4, "##", "-"},
        {-0.05, "0%", "-5%"},
        {-5, "x00", "-x05"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value, u8(c.pattern)), u8(c.expected)) << c.value << " " << c.pattern;
}

TEST(FormatNumber, PercentMultipliesByAHundred)
{
    const NumberCase cases[] = {
        {0.25, "0%", "25%"},
        {0.3, "00%", "30%"},
        {0.05, "00%", "05%"},
        {1, "0%", "100%"},
        {0, "0%", "0%"},
        {2.0 / 3.0, "0%", "67%"},
        {0.125, "0.0%", "12.5%"},
        {static_cast<double>(0.35f), "00%", "35%"},  // the float setting 0.35 shows as 35%
        {static_cast<double>(0.3f), "00%", "30%"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value, u8(c.pattern)), u8(c.expected)) << c.value << " " << c.pattern;
}

TEST(FormatNumber, KeepsLiteralTextInPlace)
{
    const NumberCase cases[] = {
        {3, "00/", "03/"},
        {0.3, "00%ライン", "30%ライン"},
        {7, "第0R", "第7R"},
        {5, "\"No.\"00", "No.05"},  // quoted literal text
        {5, "\\#00", "#05"},  // escaped placeholder
        {5, "", "5"},  // no pattern: the plain number
        {5, "abc", "abc5"},  // no placeholder: the number still shows
        {1.5, ".0", "1.5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatNumber(c.value, u8(c.pattern)), u8(c.expected)) << c.value << " " << c.pattern;
}

TEST(FormatNumber, SurvivesValuesNoFigureCanHave)
{
    EXPECT_EQ(
        formatNumber(std::numeric_limits<double>::quiet_NaN(), QStringLiteral("00")), QStringLiteral("00"));
    EXPECT_EQ(
        formatNumber(std::numeric_limits<double>::infinity(), QStringLiteral("00")), QStringLiteral("00"));
    const QString huge = formatNumber(1e300, QStringLiteral("0"));
    EXPECT_EQ(huge.size(), 301);
    EXPECT_TRUE(huge.startsWith(QStringLiteral("1000000000000000")));
    EXPECT_EQ(formatNumber(-2147483648.0, QStringLiteral("00")), QStringLiteral("-2147483648"));
}

// ------------------------------------------------------------------ dates

TEST(FormatDate, WritesYearMonthAndDayParts)
{
    const double derby = *serialFromYmd(2007, 5, 27);
    const double jan = *serialFromYmd(2008, 1, 5);
    const struct {
        double serial;
        const char *pattern;
        const char *expected;
    } cases[] = {
        {derby, "yyyy/mm/dd", "2007/05/27"},
        {derby, "yy/m/d", "07/5/27"},
        {derby, "yy/mm/dd", "07/05/27"},
        {derby, "yymmdd", "070527"},
        {derby, "mmdd", "0527"},
        {jan, "m/d", "1/5"},
        {jan, "mmdd", "0105"},
        {jan, "yyyy年m月d日", "2008年1月5日"},
        {jan, "y", "5"},  // day of the year
        {jan, "\\m\\d m", "md 1"},  // an escaped letter is itself
        {jan, "\"mm\"dd", "mm05"},  // so is quoted text
        {0, "yymmdd", "991230"},  // no date is the epoch day
        {0, "yyyy/mm/dd", "1899/12/30"},
        {-1, "yyyy/mm/dd", "1899/12/29"},
        {-1.5, "yyyy/mm/dd", "1899/12/29"},  // the time of day does not move the day
        {39229.75, "yyyy/mm/dd", "2007/05/27"},
        {2958465, "yyyy/mm/dd", "9999/12/31"},
        {-693593, "yyyy/mm/dd", "0001/01/01"},
        {1e12, "yyyy/mm/dd", "1899/12/30"},  // beyond the calendar: no date
        {std::numeric_limits<double>::quiet_NaN(), "yyyy/mm/dd", "1899/12/30"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatDate(c.serial, u8(c.pattern)), u8(c.expected)) << c.serial << " " << c.pattern;
}

TEST(SerialFromYmd, CountsDaysFromTheLastDayOf1899)
{
    const struct {
        int y, m, d;
        double serial;
    } cases[] = {
        {1899, 12, 30, 0},
        {1899, 12, 29, -1},
        {1900, 1, 1, 2},
        {2007, 5, 27, 39229},
        {2008, 5, 18, 39586},
        {2000, 2, 29, 36585},
        {2024, 2, 29, 45351},
        {1800, 3, 1, -36463},
        {1, 1, 1, -693593},
        {9999, 12, 31, 2958465},
    };
    for (const auto &c : cases) {
        const auto serial = serialFromYmd(c.y, c.m, c.d);
        ASSERT_TRUE(serial.has_value()) << c.y << "/" << c.m << "/" << c.d;
        EXPECT_EQ(*serial, c.serial) << c.y << "/" << c.m << "/" << c.d;
        const Ymd back = ymdFromSerial(c.serial);
        EXPECT_EQ(back.year, c.y);
        EXPECT_EQ(back.month, c.m);
        EXPECT_EQ(back.day, c.d);
    }
}

TEST(SerialFromYmd, RejectsImpossibleDates)
{
    const int cases[][3] = {
        {2007, 2, 30},
        {2007, 2, 29},
        {1900, 2, 29},
        {2100, 2, 29},
        {2007, 4, 31},
        {2007, 13, 1},
        {2007, 0, 1},
        {2007, 1, 0},
        {2007, 1, 32},
        {0, 1, 1},
        {10000, 1, 1},
        {-5, 1, 1},
    };
    for (const auto &c : cases)
        EXPECT_FALSE(serialFromYmd(c[0], c[1], c[2]).has_value()) << c[0] << "/" << c[1] << "/" << c[2];
}

TEST(YmdFromSerial, RoundTripsEveryDayOfTheCalendar)
{
    // Walk the whole range day by day: the serial must grow by one and the date
    // must be the next calendar day.
    Ymd previous = ymdFromSerial(-693593);
    for (double s = -693592; s <= 2958465; ++s) {
        const Ymd now = ymdFromSerial(s);
        const bool nextDay
            = (now.year == previous.year && now.month == previous.month && now.day == previous.day + 1)
            || (now.year == previous.year && now.month == previous.month + 1 && now.day == 1)
            || (now.year == previous.year + 1 && now.month == 1 && now.day == 1);
        ASSERT_TRUE(nextDay) << s;
        ASSERT_EQ(serialFromYmd(now.year, now.month, now.day), s);
        previous = now;
    }
}

TEST(ParseDate, ReadsYearMonthDayTexts)
{
    const double derby = *serialFromYmd(2007, 5, 27);
    const TextCase cases[] = {
        {"2007/5/27", derby},
        {"2007/05/27", derby},
        {"2007-05-27", derby},
        {"2007-5-27", derby},
        {"07/5/27", derby},
        {"07/05/27", derby},
        {"2007年5月27日", derby},
        {"2007年05月27日", derby},
        {"07年5月27日", derby},
        {"2007年 5月 7日", *serialFromYmd(2007, 5, 7)},
        {"  2007/5/27  ", derby},
        {"\u30002007/5/27\u3000", derby},
        {"99/12/31", *serialFromYmd(2099, 12, 31)},
        {"2000/2/29", *serialFromYmd(2000, 2, 29)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseDate(u8(c.text)), c.expected) << c.text;
}

TEST(ParseDate, RefusesTextsThatAreNotDates)
{
    const char *cases[] = {
        "",
        " ",
        "1:34.5",
        "3-3-2-1",
        "東京",
        "2007/2/30",
        "2007/13/1",
        "2007/0/10",
        "2007/5/0",
        "2007/5",
        "5/27",
        "2007/5/27/",
        "2007/5-27",
        "2007-5/27",
        "2007/5/27 12:00",
        "207/5/27",
        "7/5/27",
        "20077/5/27",
        "2007/123/1",
        "2007/5/123",
        "2007年5月27",
        "2007年5月27日(日)",
        "2007年5/27",
        "2007.5.27",
        "２００７/５/２７",
        "/5/27",
        "2007//27",
        "-2007/5/27",
        "+07/5/27",
        "0000/1/1",
        "12.3.4",
        "1-2-3",
    };
    for (const char *c : cases)
        EXPECT_FALSE(parseDate(u8(c)).has_value()) << c;
}

TEST(ParseDate, NeverCrashesOnRandomText)
{
    std::mt19937 rng(12345);
    const QString alphabet = QStringLiteral("0123456789/-年月日 .:");
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    std::uniform_int_distribution<int> length(0, 14);
    int accepted = 0;
    for (int i = 0; i < 20000; ++i) {
        QString text;
        const int n = length(rng);
        for (int k = 0; k < n; ++k)
            text.append(alphabet.at(pick(rng)));
        const auto date = parseDate(text);
        if (date) {
            ++accepted;
            // Whatever is accepted is a real date that formats back to its parts.
            const Ymd ymd = ymdFromSerial(*date);
            EXPECT_EQ(serialFromYmd(ymd.year, ymd.month, ymd.day), date) << text.toStdString();
        }
        isNumeric(text);
    }
    EXPECT_GT(accepted, 0);
}

// ------------------------------------------------------------------ plain numbers

TEST(PlainNumber, WritesTheShortestTextOfAFloat)
{
    const struct {
        float value;
        const char *expected;
    } cases[] = {
        {57.0f, "57"},
        {55.5f, "55.5"},
        {0.3f, "0.3"},
        {-8.5f, "-8.5"},
        {25.2f, "25.2"},
        {95.3f, "95.3"},
        {0.2f, "0.2"},
        {0.35f, "0.35"},
        {0.0f, "0"},
        {-0.0f, "0"},
        {1600.0f, "1600"},
        {0.05f, "0.05"},
        {1e-5f, "0.00001"},
        {123456792.0f, "123456792"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(plainNumber(c.value), u8(c.expected)) << c.expected;
}

TEST(PlainNumber, ReadsBackAsTheSameFloat)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> dist(-200.0f, 200.0f);
    for (int i = 0; i < 5000; ++i) {
        const float v = dist(rng);
        const QString text = plainNumber(v);
        EXPECT_FALSE(text.contains(u'e'));
        EXPECT_EQ(text.toFloat(), v) << text.toStdString();
    }
}

TEST(PlainNumber, WritesDoublesWithoutExponentOrNoise)
{
    EXPECT_EQ(plainNumber(39229.0), QStringLiteral("39229"));
    EXPECT_EQ(plainNumber(-8.5), QStringLiteral("-8.5"));
    EXPECT_EQ(plainNumber(0.3), QStringLiteral("0.3"));
    EXPECT_EQ(plainNumber(1e21), QStringLiteral("1000000000000000000000"));
    EXPECT_EQ(plainNumber(std::numeric_limits<double>::quiet_NaN()), QStringLiteral("NaN"));
}

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour)
{
    const double cases[][2] = {
        {56.5, 56},
        {57.5, 58},
        {-0.5, 0},
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-1.5, -2},
        {-2.5, -2},
        {2.4, 2},
        {2.6, 3},
        {-2.6, -3},
        {0, 0},
        {7, 7},
        {1.5000000596046448, 2},
        {4503599627370497.0, 4503599627370497.0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(roundHalfEven(c[0]), c[1]) << c[0];
    EXPECT_FALSE(std::signbit(roundHalfEven(-0.5)));
    EXPECT_TRUE(std::isnan(roundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

// ------------------------------------------------------------------ numeric texts

TEST(ToNumber, AcceptsPlainDecimalTexts)
{
    const TextCase cases[] = {
        {"0", 0},
        {"57", 57},
        {"55.5", 55.5},
        {"-8.5", -8.5},
        {"+3", 3},
        {" 0.3 ", 0.3},
        {"\t12\t", 12},
        {".5", 0.5},
        {"5.", 5},
        {"-.5", -0.5},
        {"007", 7},
        {"1600", 1600},
        {"\u300042\u3000", 42},
        {"-0", 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(toNumber(u8(c.text)), c.expected) << c.text;
        EXPECT_TRUE(isNumeric(u8(c.text))) << c.text;
    }
}

TEST(ToNumber, RefusesEverythingElse)
{
    const char *cases[] = {
        "",
        " ",
        ".",
        "-",
        "+",
        "1.2.3",
        "1 2",
        "1e5",
        "0x10",
        "１２",
        "12a",
        "a12",
        "--1",
        "+-1",
        "- 1",
        "1,000",
        "inf",
        "nan",
        "1:34.5",
        "東京",
        "3-3",
        "12-",
        "¥100",
    };
    for (const char *c : cases) {
        EXPECT_FALSE(toNumber(u8(c)).has_value()) << c;
        EXPECT_FALSE(isNumeric(u8(c))) << c;
    }
    // A number beyond the double range is not a number either.
    EXPECT_FALSE(isNumeric(QString(400, u'9')));
    EXPECT_FALSE(isNumeric(QString()));
}

TEST(ToWholeNumber, RoundsHalvesToEvenAndChecksTheRange)
{
    const struct {
        const char *text;
        std::optional<qint32> expected;
    } cases[] = {
        {"1600", 1600},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"0.4", 0},
        {" 18 ", 18},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<qint32>::min()},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"2147483647.4", 2147483647},
        {"99999999999999999999", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(toWholeNumber(u8(c.text)), c.expected) << c.text;
}
