#include "view_store.h"

#include "app/format.h"

#include <algorithm>

namespace marunoki::test {

double viewRaceDay()
{
    return *serialFromYmd(2026, 11, 29);
}

void addRunner(RaceStore &store, int h, const QString &name, int bracket)
{
    store.raceDate = viewRaceDay();
    store.tousuu = std::max(store.tousuu, static_cast<qint32>(h));
    store.U_name[h] = name;
    store.U_seirei[h] = QStringLiteral("牡4");
    store.U_keiro[h] = QStringLiteral("鹿毛");
    store.U_titi[h] = QStringLiteral("チチウマ");
    store.U_haha[h] = QStringLiteral("ハハウマ");
    store.U_hahatiti[h] = QStringLiteral("ハハチチ");
    store.R_date[h][0] = viewRaceDay();
    store.U_waku[h][0] = bracket;
    store.U_no[h][0] = h;
    store.U_kisyu[h][0] = QStringLiteral("騎手一");
    store.U_hutan[h][0] = 57.0f;
    store.U_taizyu[h][0] = 478;
}

void addRun(RaceStore &store, int h, int r)
{
    store.R_date[h][r] = viewRaceDay() - 14.0 * r;
    store.R_zyo[h][r] = QStringLiteral("05");
    store.R_name[h][r] = QStringLiteral("レース%1").arg(r);
    store.R_kyori[h][r] = 1600;
    store.R_siba[h][r] = 1;
    store.R_baba[h][r] = 1;
    store.R_tousuu[h][r] = 16;
    store.U_cyaku[h][r] = 3;
    store.U_waku[h][r] = 2;
    store.U_no[h][r] = 4;
    store.U_ninki[h][r] = 5;
    store.U_kisyu[h][r] = QStringLiteral("騎手%1").arg(r);
    store.U_hutan[h][r] = 57.0f;
    store.U_time[h][r] = 95.3f;
    store.U_cyakusa[h][r] = 0.2f;
    store.U_3f[h][r] = 34.5f;
    store.U_taizyu[h][r] = 480;
    store.U_tuka[h][r] = {0, 3, 3, 2, 1};
    store.U_sisuu[h][r] = 60.0f + static_cast<float>(r);
    store.U_babasisuu[h][r] = -12.0f;
    store.U_agari[h][r] = 50.0f + static_cast<float>(r);
}

}  // namespace marunoki::test
