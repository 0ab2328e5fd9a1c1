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
    resetPublic();
}

namespace {

template <typename T>
void fill(RunTable<T> &table, const T &value)
{
    for (auto &runner : table)
        runner.fill(value);
}

}  // namespace

void RaceStore::resetPublic()
{
    const QString empty;
    for (auto *table : {&R_date})
        fill(*table, 0.0);
    for (auto *table : {&R_zyo, &R_name, &R_class, &R_zyo02, &U_kisyu, &U_cyoukyou, &U_cyakuText})
        fill(*table, empty);
    for (auto *table : {&R_no, &R_kyori, &R_baba, &R_siba, &R_tousuu, &U_waku, &U_no, &U_ninki, &U_cyaku,
             &U_taizyu, &U_rowFailed})
        fill(*table, qint32(0));
    for (auto *table : {&U_time, &U_cyakusa, &U_3f, &U_hutan, &U_sisuu, &U_agari, &U_babasisuu, &U_odds})
        fill(*table, 0.0f);
    for (auto &runner : U_tuka)
        for (auto &run : runner)
            run.fill(0);
    for (auto *table : {&U_name, &U_seirei, &U_keiro, &U_titi, &U_haha, &U_hahatiti, &U_Url})
        table->fill(empty);
    for (auto *table : {&U_heikin, &U_saikou, &U_heikin3m, &U_saikou3m, &U_kyakusitu})
        for (auto &pair : *table)
            pair.fill(0.0f);
    for (auto &runner : U_taisen)
        for (auto &pair : runner)
            pair.fill(0.0f);
    zyouiHeikin.fill(0.0f);

    raceDate = 0;
    raceTitle.clear();
    raceJouken.clear();
    tousuu = 0;
    curUma = 0;
    gaps = LoadGaps();
    raceCourse.clear();
    raceNumber = 0;
    localRuns = LocalRuns::NotMerged;
    zyoName = courseNames();
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
