#include "driver/race_selection.h"

#include <gtest/gtest.h>

namespace marunoki {
namespace {

RaceSelection chosen()
{
    return {QStringLiteral("2007"), QStringLiteral("東京"), QStringLiteral("02"), QStringLiteral("08"),
        QStringLiteral("11"), ReadingSite::One};
}

TEST(MissingSelection, NamesTheFirstUnchosenBoxOnly)
{
    struct Case {
        const char *label;
        void (*unset)(RaceSelection &);
        QString expected;
    };
    const Case cases[] = {
        {"course", [](RaceSelection &s) { s.course = std::nullopt; }, QStringLiteral("場を選択してください")},
        {"course and race", [](RaceSelection &s) { s.course = std::nullopt, s.race = std::nullopt; },
            QStringLiteral("場を選択してください")},
        {"meeting", [](RaceSelection &s) { s.meeting = std::nullopt; },
            QStringLiteral("開催回を選択してください")},
        {"day and race", [](RaceSelection &s) { s.day = std::nullopt, s.race = std::nullopt; },
            QStringLiteral("開催日を選択してください")},
        {"race", [](RaceSelection &s) { s.race = std::nullopt; }, QStringLiteral("Raceを選択してください")},
        {"nothing", [](RaceSelection &) {}, QString()},
    };
    for (const Case &c : cases) {
        RaceSelection s = chosen();
        c.unset(s);
        EXPECT_EQ(missingSelectionMessage(s), c.expected) << c.label;
    }
}

TEST(RaceLabel, NamesCourseAndRaceOnlyOnceBothAreChosen)
{
    RaceSelection s = chosen();
    EXPECT_EQ(raceLabel(s), QStringLiteral("東京 11R"));
    s.race = std::nullopt;
    EXPECT_EQ(raceLabel(s), QString()) << "no race";
    s = chosen();
    s.course = std::nullopt;
    EXPECT_EQ(raceLabel(s), QString()) << "no course";
}

TEST(CourseCode, IsTheTablePositionWithTwoDigits)
{
    EXPECT_EQ(courseCode(QStringLiteral("札幌")), QStringLiteral("01"));
    EXPECT_EQ(courseCode(QStringLiteral("東京")), QStringLiteral("05"));
    EXPECT_EQ(courseCode(QStringLiteral("小倉")), QStringLiteral("10"));
    EXPECT_EQ(courseCode(QStringLiteral("大井")), QStringLiteral("00"));
}

TEST(CardUrl, ComposesBothSitesAddresses)
{
    const RaceSelection s = chosen();
    EXPECT_EQ(site1CardUrl(QStringLiteral("http://one.example"), s),
        QStringLiteral("http://one.example/scores/2007/05/02/08/11/denma.html"));
    EXPECT_EQ(site2CardUrl(QStringLiteral("http://two.example"), s),
        QStringLiteral("http://two.example/race/page.php?param[race]=200705020811&param[option]=shutuba"));
}

TEST(CardUrl, UsesTheBoxTextsAsShown)
{
    RaceSelection s = chosen();
    s.course = QStringLiteral("どこか");
    s.meeting = QStringLiteral("5");
    EXPECT_EQ(site2CardUrl(QString(), s),
        QStringLiteral("/race/page.php?param[race]=2007005"
                       "0811&param[option]=shutuba"));
}

}  // namespace
}  // namespace marunoki
