#include "driver/race_selection.h"

#include "app/common.h"
#include "app/format.h"

namespace marunoki {

QString missingSelectionMessage(const RaceSelection &selection)
{
    // The order of the checks is the order of the boxes; only the first gap is named.
    if (!selection.course)
        return QStringLiteral("場を選択してください");
    if (!selection.meeting)
        return QStringLiteral("開催回を選択してください");
    if (!selection.day)
        return QStringLiteral("開催日を選択してください");
    if (!selection.race)
        return QStringLiteral("Raceを選択してください");
    return {};
}

QString courseCode(const QString &courseName)
{
    return formatNumber(zyoIndex(courseName), QStringLiteral("00"));
}

QString site1CardUrl(const QString &base, const RaceSelection &selection)
{
    return base + QStringLiteral("/scores/") + selection.year + u'/'
        + courseCode(selection.course.value_or(QString())) + u'/' + selection.meeting.value_or(QString())
        + u'/' + selection.day.value_or(QString()) + u'/' + selection.race.value_or(QString())
        + QStringLiteral("/denma.html");
}

QString site2CardUrl(const QString &base, const RaceSelection &selection)
{
    // Twelve digits: year, course, meeting, day, race.
    return base + QStringLiteral("/race/page.php?param[race]=") + selection.year
        + courseCode(selection.course.value_or(QString())) + selection.meeting.value_or(QString())
        + selection.day.value_or(QString()) + selection.race.value_or(QString())
        + QStringLiteral("&param[option]=shutuba");
}

QString raceLabel(const RaceSelection &selection)
{
    if (!selection.course || !selection.race)
        return {};
    return QStringLiteral("%1 %2R").arg(*selection.course).arg(selection.race->toInt());
}

}  // namespace marunoki
