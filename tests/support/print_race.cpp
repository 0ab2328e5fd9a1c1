#include "support/print_race.h"

#include "app/format.h"

namespace marunoki::test {

void fillPrintRace(RaceStore &store, int runners)
{
    store.clearForLoad();
    store.raceDate = *serialFromYmd(2026, 11, 29);
    store.raceTitle = QStringLiteral("5回東京9日 11R 印刷テストカップ");
    store.raceConditions = QStringLiteral("3歳以上オープン 芝2400m");
    store.fieldSize = runners;
    for (int n = 1; n <= runners; ++n) {
        store.horses[n].name = QStringLiteral("テストホース%1").arg(n);
        store.horses[n].sexAge = QStringLiteral("牡4");
        store.horses[n].sire = QStringLiteral("チチ%1").arg(n);
        store.horses[n].damSire = QStringLiteral("ハハチチ%1").arg(n);
        store.horses[n].runs[0].bracket = (n + 1) / 2 > 8 ? 8 : (n + 1) / 2;
        store.horses[n].runs[0].jockey = QStringLiteral("騎手%1").arg(n);
        store.horses[n].runs[0].weightCarried = 57;
        store.horses[n].runs[0].date = store.raceDate;
        store.horses[n].runs[0].course = QStringLiteral("05");
        store.horses[n].runs[0].distance = 2400;
        store.horses[n].runs[0].surface = 1;
        for (int r = 1; r <= 3; ++r) {
            store.horses[n].runs[r].date = store.raceDate - 28 * r - n;
            store.horses[n].runs[r].course = QStringLiteral("05");
            store.horses[n].runs[r].raceName = QStringLiteral("過去レース%1").arg(r);
            store.horses[n].runs[r].distance = 2000;
            store.horses[n].runs[r].surface = 1;
            store.horses[n].runs[r].going = 1;
            store.horses[n].runs[r].fieldSize = 16;
            store.horses[n].runs[r].finish = r;
            store.horses[n].runs[r].jockey = store.horses[n].runs[0].jockey;
            store.horses[n].runs[r].speedFigure = static_cast<float>(60 + n + r);
            store.horses[n].runs[r].trackVariant = -5;
        }
        store.horses[n].meanFigure.value = static_cast<float>(62 + n);
        store.horses[n].bestFigure.value = static_cast<float>(63 + n);
    }
    store.referenceFigure = 70;
}

}  // namespace marunoki::test
