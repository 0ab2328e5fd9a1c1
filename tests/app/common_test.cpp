#include "app/common.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

#include <limits>

using namespace marunoki;

TEST(StripSpaces, RemovesHalfAndFullWidthSpacesOnly)
{
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"東京　競馬", "東京競馬"},
        {" ディープ インパクト ", "ディープインパクト"},
        {"　　", ""},
        {"", ""},
        {"a\tb", "a\tb"},  // tabs and other blanks are not spaces here
        {"良", "良"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(stripSpaces(QString::fromUtf8(c.text)), QString::fromUtf8(c.expected)) << c.text;
}

TEST(BabaCode, KnowsOnlyTheFourSingleCharacters)
{
    const struct {
        const char *text;
        qint32 code;
    } cases[] = {
        {"良", 1},
        {"稍", 2},
        {"重", 3},
        {"不", 4},
        {"稍重", 0},
        {"不良", 0},
        {"", 0},
        {" 良", 0},
        {"ダ", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(babaCode(QString::fromUtf8(c.text)), c.code) << c.text;
}

TEST(ZyoIndex, FindsTheCentralCoursesOnly)
{
    const struct {
        const char *text;
        qint32 index;
    } cases[] = {
        {"札幌", 1},
        {"函館", 2},
        {"福島", 3},
        {"新潟", 4},
        {"東京", 5},
        {"中山", 6},
        {"中京", 7},
        {"京都", 8},
        {"阪神", 9},
        {"小倉", 10},
        {"大井", 0},
        {"", 0},
        {"東京 ", 0},
        {"東", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(zyoIndex(QString::fromUtf8(c.text)), c.index) << c.text;
}

TEST(RoundUp, GivesTheSmallestWholeNumberNotBelow)
{
    const struct {
        float value;
        qint32 expected;
    } cases[] = {
        {0.5f, 1},
        {1.0f, 1},
        {-0.5f, 0},
        {2.3f, 3},
        {3.0f, 3},
        {-2.5f, -2},
        {0.0f, 0},
        {-3.0f, -3},
        {1e-7f, 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(roundUp(c.value), c.expected) << c.value;
}

TEST(RoundUp, StaysInRangeForValuesNoWholeNumberHolds)
{
    EXPECT_EQ(roundUp(1e20f), std::numeric_limits<qint32>::max());
    EXPECT_EQ(roundUp(-1e20f), std::numeric_limits<qint32>::min());
    EXPECT_EQ(roundUp(std::numeric_limits<float>::infinity()), std::numeric_limits<qint32>::max());
    EXPECT_EQ(roundUp(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(AppFolder, EndsInExactlyOneSeparator)
{
    const struct {
        const char *folder;
        const char *path;
    } cases[] = {
        {"/opt/marunoki", "/opt/marunoki/"},
        {"/opt/marunoki/", "/opt/marunoki/"},
        {"/", "/"},  // a program in the root folder
        {"", "./"},
        {"rel/dir", "rel/dir/"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AppFolder(QString::fromUtf8(c.folder)).path(), QString::fromUtf8(c.path)) << c.folder;
}

TEST(AppFolder, NamesFilesBesideTheProgram)
{
    EXPECT_EQ(
        AppFolder(QStringLiteral("/")).file(QStringLiteral("marunoki.ini")), QStringLiteral("/marunoki.ini"));
    EXPECT_EQ(AppFolder(QStringLiteral("/opt/mk")).file(QStringLiteral("marunoki.dat")),
        QStringLiteral("/opt/mk/marunoki.dat"));
}
