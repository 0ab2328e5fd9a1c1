#pragma once
// The race the user chose, as the selection boxes show it, and the addresses of
// its race card on the two sites.

#include "app/reading_site.h"

#include <QString>

namespace marunoki {

// The texts of the selection boxes exactly as shown. A box still showing its
// initial text ("場選択", "回", "日", "RaceNo") has not been chosen. site is the
// reading site setting.
struct RaceSelection {
    QString year;  // four digits, "2026"
    QString course;  // a course-table name, "東京"
    QString meeting;  // two digits, "05"
    QString day;  // two digits, "09"
    QString race;  // two digits, "11"
    ReadingSite site = ReadingSite::None;
};

// The initial texts of the boxes, which mean "not chosen".
inline const QString kCourseUnchosen = QStringLiteral("場選択");
inline const QString kMeetingUnchosen = QStringLiteral("回");
inline const QString kDayUnchosen = QStringLiteral("日");
inline const QString kRaceUnchosen = QStringLiteral("RaceNo");

// The message for the first box (course, meeting, day, race) still at its initial
// text; empty when all four are chosen.
QString missingSelectionMessage(const RaceSelection &selection);

// The course code of a course name: its table position as two digits ("東京" ->
// "05"); a name outside the table gives "00".
QString courseCode(const QString &courseName);

// Site 1 card: base + "/scores/2007/05/02/08/11/denma.html".
QString site1CardUrl(const QString &base, const RaceSelection &selection);
// Site 2 card: base + "/race/page.php?param[race]=200705020811&param[option]=shutuba".
QString site2CardUrl(const QString &base, const RaceSelection &selection);

}  // namespace marunoki
