#pragma once
// The race the user chose, as the selection boxes show it, and the addresses of
// its race card on the two sites.

#include "app/reading_site.h"

#include <QString>

#include <optional>

namespace marunoki {

// The texts of the selection boxes exactly as shown; nothing for a box not
// chosen yet (the window's box still showing its initial text, "場選択", "回",
// "日", "RaceNo"; an option not given on the command line). site is the
// reading site setting.
struct RaceSelection {
    QString year;  // four digits, "2026"
    std::optional<QString> course;  // a course-table name, "東京"
    std::optional<QString> meeting;  // two digits, "05"
    std::optional<QString> day;  // two digits, "09"
    std::optional<QString> race;  // two digits, "11"
    ReadingSite site = ReadingSite::None;
};

// The initial texts of the window's boxes, shown while a box is not chosen.
inline const QString kCourseUnchosen = QStringLiteral("場選択");
inline const QString kMeetingUnchosen = QStringLiteral("回");
inline const QString kDayUnchosen = QStringLiteral("日");
inline const QString kRaceUnchosen = QStringLiteral("RaceNo");

// The days a meeting runs to (the meeting calendar shows 01 to 12); the day box
// offers them all and takes a typed day too.
constexpr int kMaxDaysOfMeeting = 12;

// What the window's boxes offer: meetings 01 to 08, races 01 to 12.
constexpr int kMaxMeetings = 8;
constexpr int kMaxRacesOfDay = 12;

// The window's five selection boxes, in their order.
enum class SelectionBox { Year, Course, Meeting, Day, Race };

// The initial text of a box ("回" for the meeting box); the year box has none.
[[nodiscard]] QString unchosenText(SelectionBox box);

// The value a box's text stands for, as a race address needs it: the year as
// four digits (1990 to 2099), a course-table name, a meeting, day or race as two
// digits within the box's choices ("5" and "05" -> "05"). Nothing for the
// initial text, an empty text or anything that can be no race ("20261", "092",
// "113", "13" as a race).
[[nodiscard]] std::optional<QString> selectionValue(SelectionBox box, const QString &text);

// What typing may leave in a box: a value; a text on the way to one (empty, a
// part of the initial text, "2" in the year box, "0", the first characters of a
// course name); or nothing that could become one, which the box refuses.
enum class BoxInput { Value, Partial, Refused };
[[nodiscard]] BoxInput selectionInput(SelectionBox box, const QString &text);

// The texts of the five boxes, in box order.
struct SelectionTexts {
    QString year;
    QString course;
    QString meeting;
    QString day;
    QString race;
};

// The race the boxes choose: each box's value, nothing for a box not chosen or
// holding no value (an empty year for a year that is none).
[[nodiscard]] RaceSelection raceOfBoxes(const SelectionTexts &texts, ReadingSite site);

// The race as the user knows it, "東京 11R"; empty before the course and race
// are chosen.
[[nodiscard]] QString raceLabel(const RaceSelection &selection);

// The message for the first box (year, course, meeting, day, race) not chosen;
// empty when all are chosen.
QString missingSelectionMessage(const RaceSelection &selection);

// The course code of a course name: its table position as two digits ("東京" ->
// "05"); a name outside the table gives "00".
QString courseCode(const QString &courseName);

// The card addresses expect all four boxes chosen (missingSelectionMessage empty).
// Site 1 card: base + "/scores/2007/05/02/08/11/denma.html".
QString site1CardUrl(const QString &base, const RaceSelection &selection);
// Site 2 card: base + "/race/page.php?param[race]=200705020811&param[option]=shutuba".
QString site2CardUrl(const QString &base, const RaceSelection &selection);

}  // namespace marunoki
