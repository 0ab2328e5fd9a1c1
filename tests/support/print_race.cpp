#include "support/print_race.h"

#include "app/format.h"

namespace marunoki::test {

void fillPrintRace(RaceStore &store, int runners)
{
    store.resetPublic();
    store.raceDate = *serialFromYmd(2026, 11, 29);
    store.raceTitle = QStringLiteral("5回東京9日 11R 印刷テストカップ");
    store.raceJouken = QStringLiteral("3歳以上オープン 芝2400m");
    store.tousuu = runners;
    for (int n = 1; n <= runners; ++n) {
        store.U_name[n] = QStringLiteral("テストホース%1").arg(n);
        store.U_seirei[n] = QStringLiteral("牡4");
        store.U_titi[n] = QStringLiteral("チチ%1").arg(n);
        store.U_hahatiti[n] = QStringLiteral("ハハチチ%1").arg(n);
        store.U_waku[n][0] = (n + 1) / 2 > 8 ? 8 : (n + 1) / 2;
        store.U_kisyu[n][0] = QStringLiteral("騎手%1").arg(n);
        store.U_hutan[n][0] = 57;
        store.R_date[n][0] = store.raceDate;
        store.R_zyo[n][0] = QStringLiteral("05");
        store.R_kyori[n][0] = 2400;
        store.R_siba[n][0] = 1;
        for (int r = 1; r <= 3; ++r) {
            store.R_date[n][r] = store.raceDate - 28 * r - n;
            store.R_zyo[n][r] = QStringLiteral("05");
            store.R_name[n][r] = QStringLiteral("過去レース%1").arg(r);
            store.R_kyori[n][r] = 2000;
            store.R_siba[n][r] = 1;
            store.R_baba[n][r] = 1;
            store.R_tousuu[n][r] = 16;
            store.U_cyaku[n][r] = r;
            store.U_kisyu[n][r] = store.U_kisyu[n][0];
            store.U_sisuu[n][r] = static_cast<float>(60 + n + r);
            store.U_babasisuu[n][r] = -5;
        }
        store.U_heikin[n][0] = static_cast<float>(62 + n);
        store.U_saikou[n][0] = static_cast<float>(63 + n);
    }
    store.rentaiKizyun = 70;
    store.curUma = 1;
}

}  // namespace marunoki::test
