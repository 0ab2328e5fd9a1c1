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
    store.fieldSize = std::max(store.fieldSize, static_cast<qint32>(h));
    store.horses[h].name = name;
    store.horses[h].sexAge = QStringLiteral("牡4");
    store.horses[h].coatColour = QStringLiteral("鹿毛");
    store.horses[h].sire = QStringLiteral("チチウマ");
    store.horses[h].dam = QStringLiteral("ハハウマ");
    store.horses[h].damSire = QStringLiteral("ハハチチ");
    store.horses[h].runs[0].date = viewRaceDay();
    store.horses[h].runs[0].bracket = bracket;
    store.horses[h].runs[0].horseNumber = h;
    store.horses[h].runs[0].jockey = QStringLiteral("騎手一");
    store.horses[h].runs[0].weightCarried = 57.0f;
    store.horses[h].runs[0].bodyWeight = 478;
}

void addRun(RaceStore &store, int h, int r)
{
    store.horses[h].runs[r].date = viewRaceDay() - 14.0 * r;
    store.horses[h].runs[r].course = QStringLiteral("05");
    store.horses[h].runs[r].raceName = QStringLiteral("レース%1").arg(r);
    store.horses[h].runs[r].distance = 1600;
    store.horses[h].runs[r].surface = 1;
    store.horses[h].runs[r].going = 1;
    store.horses[h].runs[r].fieldSize = 16;
    store.horses[h].runs[r].finish = 3;
    store.horses[h].runs[r].bracket = 2;
    store.horses[h].runs[r].horseNumber = 4;
    store.horses[h].runs[r].popularity = 5;
    store.horses[h].runs[r].jockey = QStringLiteral("騎手%1").arg(r);
    store.horses[h].runs[r].weightCarried = 57.0f;
    store.horses[h].runs[r].time = 95.3f;
    store.horses[h].runs[r].margin = 0.2f;
    store.horses[h].runs[r].last3f = 34.5f;
    store.horses[h].runs[r].bodyWeight = 480;
    store.horses[h].runs[r].cornerPositions = {0, 3, 3, 2, 1};
    store.horses[h].runs[r].speedFigure = 60.0f + static_cast<float>(r);
    store.horses[h].runs[r].trackVariant = -12.0f;
    store.horses[h].runs[r].last3fFigure = 50.0f + static_cast<float>(r);
}

}  // namespace marunoki::test
