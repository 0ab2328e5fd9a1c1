#include "journal/tally_request.h"

#include "app/race_store.h"

#include <QFileInfo>
#include <QStringList>

namespace marunoki {

QString courseNameOfCode(const QString &code)
{
    const int index = code.toInt();
    return index >= 1 && index <= kCourseCount ? courseNames()[size_t(index)] : code;
}

QString describeFilter(const TallyFilter &filter)
{
    QStringList said;
    const auto date = [](const std::optional<QDate> &d) { return d ? d->toString(Qt::ISODate) : QString(); };
    if (filter.from || filter.to)
        said << QStringLiteral("%1 〜 %2").arg(date(filter.from), date(filter.to));
    if (filter.site)
        said << QStringLiteral("サイト%1").arg(*filter.site);
    if (!filter.course.isEmpty())
        said << courseNameOfCode(filter.course);
    if (filter.surface)
        said << (*filter.surface == 1 ? QStringLiteral("芝") : QStringLiteral("ダ"));
    if (filter.distance)
        said << QStringLiteral("%1〜%2m").arg(filter.distance->first).arg(filter.distance->second);
    if (filter.runners)
        said << QStringLiteral("%1〜%2頭").arg(filter.runners->first).arg(filter.runners->second);
    return said.join(QStringLiteral("、"));
}

Journal::Opened openExistingJournal(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        Journal::Opened missing;
        missing.status = Status::failure(
            QStringLiteral("成績ジャーナル %1 がありません（レースを読み込むと作られます）").arg(path));
        return missing;
    }
    return Journal::open(path);
}

std::optional<QDate> latestRaceDateOf(const QString &path)
{
    Journal::Opened opened = openExistingJournal(path);
    if (!opened.status.ok())
        return std::nullopt;
    const Result<std::optional<QDate>> latest = opened.value->latestRaceDate();
    return latest.status.ok() ? latest.value : std::nullopt;
}

Result<Tally> tallyOfJournal(const QString &path, const TallyRequest &request)
{
    Result<Tally> tally;
    Journal::Opened opened = openExistingJournal(path);
    if (!opened.status.ok()) {
        tally.status = opened.status;
        return tally;
    }
    const auto races = opened.value->tallyRaces(request.filter);
    if (!races.status.ok()) {
        tally.status = races.status;
        return tally;
    }
    tally.value = computeTally(races.value, request.layout);
    tally.value.filter = request.filter;
    tally.value.conditions = request.description;
    return tally;
}

}  // namespace marunoki
