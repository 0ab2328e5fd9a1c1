#include "driver/race_selection.h"

#include "app/common.h"
#include "app/format.h"

namespace marunoki {

QString missingSelectionMessage(const RaceSelection &selection)
{
    // The order of the checks is the order of the boxes; only the first gap is named.
    if (selection.course == kCourseUnchosen)
        return QStringLiteral("場を選択してください");
    if (selection.meeting == kMeetingUnchosen)
        return QStringLiteral("開催回を選択してください");
    if (selection.day == kDayUnchosen)
        return QStringLiteral("開催日を選択してください");
    if (selection.race == kRaceUnchosen)
        return QStringLiteral("Raceを選択してください");
    return {};
}

QString courseCode(const QString &courseName)
{
    return formatNumber(zyoIndex(courseName), QStringLiteral("00"));
}

QString site1CardUrl(const QString &base, const RaceSelection &selection)
{
    return base + QStringLiteral("/scores/") + selection.year + u'/' + courseCode(selection.course) + u'/'
        + selection.meeting + u'/' + selection.day + u'/' + selection.race + QStringLiteral("/denma.html");
}

QString site2CardUrl(const QString &base, const RaceSelection &selection)
{
    // Twelve digits: year, course, meeting, day, race.
    return base + QStringLiteral("/race/page.php?param[race]=") + selection.year
        + courseCode(selection.course) + selection.meeting + selection.day + selection.race
        + QStringLiteral("&param[option]=shutuba");
}

}  // namespace marunoki
