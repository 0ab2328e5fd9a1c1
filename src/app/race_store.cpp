#include "app/race_store.h"

#include <algorithm>

namespace marunoki {

const std::array<QString, kCourseCount + 1> &courseNames()
{
    static const std::array<QString, kCourseCount + 1> names
        = {QString(), QStringLiteral("札幌"), QStringLiteral("函館"), QStringLiteral("福島"),
            QStringLiteral("新潟"), QStringLiteral("東京"), QStringLiteral("中山"), QStringLiteral("中京"),
            QStringLiteral("京都"), QStringLiteral("阪神"), QStringLiteral("小倉")};
    return names;
}

RaceStore::RaceStore()
{
    clearForLoad();
}

void RaceStore::clearForLoad()
{
    horses.fill(Runner());
    topMeans.fill(0.0f);

    raceDate = 0;
    raceTitle.clear();
    raceConditions.clear();
    fieldSize = 0;
    gaps = LoadGaps();
    raceCourse.clear();
    raceNumber = 0;
    localRuns = LocalRuns::NotMerged;
    cancelFlag.store(0);
}

bool LoadGaps::complete() const
{
    return local != LocalDatabaseState::Unreadable && leftOut.isEmpty()
        && std::all_of(missing.begin(), missing.end(), [](const QString &m) { return m.isEmpty(); });
}

QString LoadGaps::summary() const
{
    QStringList parts;
    for (int n = 1; n < kRunnerSlots; ++n) {
        if (!missing[size_t(n)].isEmpty())
            parts.append(QStringLiteral("%1番: %2").arg(n).arg(missing[size_t(n)]));
    }
    if (!leftOut.isEmpty())
        parts.append(QStringLiteral("出馬表から外れた馬: %1").arg(leftOut.join(QStringLiteral("、"))));
    if (local == LocalDatabaseState::Unreadable)
        parts.append(QStringLiteral("NAR_data.mdb: %1").arg(localCause));
    return parts.join(QStringLiteral(" / "));
}

}  // namespace marunoki
