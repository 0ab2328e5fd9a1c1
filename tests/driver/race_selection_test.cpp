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

// What a selection box takes: only what can be a race, each box within its
// choices; its initial text and the first characters of a value are typed on,
// the rest refused.
TEST(SelectionBoxes, TakeOnlyWhatCanBeARace)
{
    using B = SelectionBox;
    using I = BoxInput;
    const struct {
        SelectionBox box;
        QString text;
        BoxInput input;
        std::optional<QString> value;
    } cases[] = {
        {B::Year, QStringLiteral("2026"), I::Value, QStringLiteral("2026")},
        {B::Year, QStringLiteral("20261"), I::Refused, std::nullopt},
        {B::Year, QStringLiteral("02026"), I::Refused, std::nullopt},
        {B::Year, QStringLiteral("202"), I::Partial, std::nullopt},
        {B::Year, QStringLiteral("2"), I::Partial, std::nullopt},
        {B::Year, QStringLiteral("1989"), I::Refused, std::nullopt},
        {B::Year, QStringLiteral("3"), I::Refused, std::nullopt},
        {B::Year, QStringLiteral("2099"), I::Value, QStringLiteral("2099")},
        {B::Year, QStringLiteral("21"), I::Refused, std::nullopt},
        {B::Year, QString(), I::Partial, std::nullopt},
        {B::Course, QStringLiteral("東京"), I::Value, QStringLiteral("東京")},
        {B::Course, QStringLiteral("東"), I::Partial, std::nullopt},
        {B::Course, QStringLiteral("札"), I::Partial, std::nullopt},  // the first course begun
        {B::Course, QStringLiteral("小"), I::Partial, std::nullopt},  // the last one
        {B::Course, QStringLiteral("場選択"), I::Partial, std::nullopt},
        {B::Course, QStringLiteral("場選"), I::Partial, std::nullopt},
        {B::Course, QStringLiteral("大井"), I::Refused, std::nullopt},
        {B::Course, QStringLiteral("05"), I::Refused, std::nullopt},
        {B::Meeting, QStringLiteral("05"), I::Value, QStringLiteral("05")},
        {B::Meeting, QStringLiteral("5"), I::Value, QStringLiteral("05")},
        {B::Meeting, QStringLiteral("08"), I::Value, QStringLiteral("08")},
        {B::Meeting, QStringLiteral("09"), I::Refused, std::nullopt},
        {B::Meeting, QStringLiteral("092"), I::Refused, std::nullopt},
        {B::Meeting, QStringLiteral("00"), I::Refused, std::nullopt},
        {B::Meeting, QStringLiteral("0"), I::Partial, std::nullopt},
        {B::Meeting, QStringLiteral("回"), I::Partial, std::nullopt},
        {B::Meeting, QStringLiteral("5回"), I::Refused, std::nullopt},
        {B::Day, QStringLiteral("12"), I::Value, QStringLiteral("12")},
        {B::Day, QStringLiteral("113"), I::Refused, std::nullopt},
        {B::Day, QStringLiteral("13"), I::Refused, std::nullopt},
        {B::Day, QStringLiteral("日"), I::Partial, std::nullopt},
        {B::Race, QStringLiteral("11"), I::Value, QStringLiteral("11")},
        {B::Race, QStringLiteral("1"), I::Value, QStringLiteral("01")},
        {B::Race, QStringLiteral("13"), I::Refused, std::nullopt},
        {B::Race, QStringLiteral("RaceNo"), I::Partial, std::nullopt},
        {B::Race, QStringLiteral("Race"), I::Partial, std::nullopt},
        {B::Race, QStringLiteral("-1"), I::Refused, std::nullopt},
        {B::Race, QStringLiteral("１"), I::Refused, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1: %2").arg(int(c.box)).arg(c.text).toStdString());
        EXPECT_EQ(selectionInput(c.box, c.text), c.input);
        EXPECT_EQ(selectionValue(c.box, c.text), c.value);
    }

    // The boxes as a race: a box at its initial text or holding no value is not
    // chosen, and the first one is named.
    RaceSelection race = raceOfBoxes({QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("5"),
                                         QStringLiteral("9"), QStringLiteral("11")},
        ReadingSite::Two);
    EXPECT_EQ(race.year, QStringLiteral("2026"));
    EXPECT_EQ(race.meeting, QStringLiteral("05"));
    EXPECT_EQ(race.day, QStringLiteral("09"));
    EXPECT_EQ(race.site, ReadingSite::Two);
    EXPECT_EQ(missingSelectionMessage(race), QString());
    race = raceOfBoxes({QStringLiteral("20261"), QStringLiteral("場選択"), QStringLiteral("回"),
                           QStringLiteral("13"), QStringLiteral("RaceNo")},
        ReadingSite::One);
    EXPECT_EQ(race.year, QString());
    EXPECT_FALSE(race.course || race.meeting || race.day || race.race);
    EXPECT_EQ(missingSelectionMessage(race), QStringLiteral("開催年を4桁で入力してください"));
    race.year = QStringLiteral("2026");
    EXPECT_EQ(missingSelectionMessage(race), QStringLiteral("場を選択してください"));
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
