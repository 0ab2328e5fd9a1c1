#include "view/run_table.h"

#include "app/format.h"
#include "app/race_store.h"

namespace marunoki {

namespace {

QString number(qint32 v)
{
    return v == 0 ? QString() : QString::number(v);
}

// Figures and times: one decimal, nothing for 0 (which always means "none").
QString decimal(float v)
{
    return v == 0.0f ? QString() : formatNumber(v, QStringLiteral("0.0"));
}

QString surface(qint32 code)
{
    switch (code) {
    case 0:
        return QStringLiteral("ダ");
    case 1:
        return QStringLiteral("芝");
    default:
        return QStringLiteral("障");
    }
}

QString going(qint32 code)
{
    static const QString names[]
        = {QString(), QStringLiteral("良"), QStringLiteral("稍"), QStringLiteral("重"), QStringLiteral("不")};
    return code >= 0 && code <= 4 ? names[code] : QString();
}

// Finishing time as m:ss.s.
QString raceTime(float seconds)
{
    if (seconds <= 0.0f)
        return QString();
    const int tenths = static_cast<int>(roundHalfEven(static_cast<double>(seconds) * 10.0));
    const int minutes = tenths / 600;
    const QString rest
        = formatNumber((tenths % 600) / 10.0, minutes > 0 ? QStringLiteral("00.0") : QStringLiteral("0.0"));
    return minutes > 0 ? QString::number(minutes) + u':' + rest : rest;
}

QString corners(const RaceStore &store, qint32 h, int r)
{
    QStringList parts;
    for (int c = 1; c < kCornerSlots; ++c) {
        if (store.U_tuka[h][r][c] != 0)
            parts << QString::number(store.U_tuka[h][r][c]);
    }
    return parts.join(u'-');
}

QString course(const QString &zyo)
{
    // Central runs carry the two-digit course code; local runs the course name.
    const std::optional<qint32> code = toWholeNumber(zyo);
    if (code && *code >= 1 && *code <= kCourseCount)
        return courseNames()[*code];
    return zyo;
}

QString stat(const std::array<float, 2> &s)
{
    return s[1] == 0.0f ? QStringLiteral("-") : formatNumber(s[0], QStringLiteral("0.0"));
}

}  // namespace

QStringList runTableHeaders()
{
    return {QStringLiteral("日付"), QStringLiteral("場"), QStringLiteral("R"), QStringLiteral("レース名"),
        QStringLiteral("距離"), QStringLiteral("馬場"), QStringLiteral("頭数"), QStringLiteral("枠"),
        QStringLiteral("馬番"), QStringLiteral("人気"), QStringLiteral("着順"), QStringLiteral("騎手"),
        QStringLiteral("斤量"), QStringLiteral("馬体重"), QStringLiteral("タイム"),
        QStringLiteral("上がり3F"), QStringLiteral("通過"), QStringLiteral("SP指数"),
        QStringLiteral("上がり指数"), QStringLiteral("馬場指数")};
}

std::vector<QStringList> runTableRows(const RaceStore &store, qint32 h)
{
    std::vector<QStringList> rows;
    if (h < 1 || h > kMaxRunners)
        return rows;
    for (int r = 0; r < kRunSlots; ++r) {
        if (store.R_date[h][r] <= 0)
            continue;
        const QString distance = store.R_kyori[h][r] == 0
            ? QString()
            : (r == 0 ? QString() : surface(store.R_siba[h][r])) + QString::number(store.R_kyori[h][r]);
        rows.push_back({formatDate(store.R_date[h][r], QStringLiteral("yy/mm/dd")), course(store.R_zyo[h][r]),
            number(store.R_no[h][r]), store.R_name[h][r], distance, going(store.R_baba[h][r]),
            number(store.R_tousuu[h][r]), number(store.U_waku[h][r]), number(store.U_no[h][r]),
            number(store.U_ninki[h][r]), number(store.U_cyaku[h][r]), store.U_kisyu[h][r],
            decimal(store.U_hutan[h][r]), number(store.U_taizyu[h][r]), raceTime(store.U_time[h][r]),
            decimal(store.U_3f[h][r]), corners(store, h, r), decimal(store.U_sisuu[h][r]),
            decimal(store.U_agari[h][r]), decimal(store.U_babasisuu[h][r])});
    }
    return rows;
}

QString runnerSummary(const RaceStore &store, qint32 h)
{
    if (h < 1 || h > kMaxRunners || store.U_name[h].isEmpty())
        return QString();
    QString text = formatNumber(h, QStringLiteral("00")) + u' ' + store.U_name[h] + u' ' + store.U_seirei[h];
    if (!store.U_keiro[h].isEmpty())
        text += u' ' + store.U_keiro[h];
    text += QStringLiteral("\n父:") + store.U_titi[h] + QStringLiteral("  母:") + store.U_haha[h]
        + QStringLiteral("  母父:") + store.U_hahatiti[h];
    text += QStringLiteral("\n14ヶ月間  平均:") + stat(store.U_heikin[h]) + QStringLiteral("　最高:")
        + stat(store.U_saikou[h]) + QStringLiteral("  (") + QString::number(store.U_heikin[h][1])
        + QStringLiteral("走)");
    text += QStringLiteral("\n近3ヶ月間 平均:") + stat(store.U_heikin3m[h]) + QStringLiteral("　最高:")
        + stat(store.U_saikou3m[h]);
    text += QStringLiteral("\n脚質指数:") + stat(store.U_kyakusitu[h]) + QStringLiteral("  対戦成績:")
        + QString::number(store.U_taisen[h][0][0]) + u'-' + QString::number(store.U_taisen[h][0][1]);
    return text;
}

QString raceSummary(const RaceStore &store)
{
    if (store.tousuu == 0 && store.raceTitle.isEmpty())
        return QStringLiteral("データ未読込み");
    QString text = store.raceTitle + u'\n' + store.raceJouken;
    if (store.raceDate > 0)
        text += u'\n' + formatDate(store.raceDate, QStringLiteral("yyyy/mm/dd")) + QStringLiteral("  ")
            + QString::number(store.tousuu) + QStringLiteral("頭");
    text += QStringLiteral("\n連対基準線:") + formatNumber(store.rentaiKizyun, QStringLiteral("0.0"));
    return text;
}

}  // namespace marunoki
