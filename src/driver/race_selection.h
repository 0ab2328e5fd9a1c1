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

// The race as the user knows it, "東京 11R"; empty before the course and race
// are chosen.
[[nodiscard]] QString raceLabel(const RaceSelection &selection);

// The message for the first box (course, meeting, day, race) not chosen; empty
// when all four are chosen.
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
