#include "graph_fixture.h"

#include "app/format.h"

#include <algorithm>

namespace marunoki::test {

double graphRaceDay()
{
    return *serialFromYmd(2026, 11, 29);
}

void setUpRace(RaceStore &store, int runners, qint32 base)
{
    store.clearForLoad();
    store.raceDate = graphRaceDay();
    store.fieldSize = runners;
    store.graphBase = base;
    for (int h = 1; h <= runners; ++h) {
        store.horses[h].name = QStringLiteral("グラフテスト%1").arg(h);
        store.horses[h].runs[0].bracket = 3;
        store.horses[h].runs[0].date = graphRaceDay();
    }
}

void placeRun(RaceStore &store, int h, int r, double daysBefore, float figure)
{
    store.horses[h].runs[r].date = graphRaceDay() - daysBefore;
    store.horses[h].runs[r].course = QStringLiteral("05");
    store.horses[h].runs[r].surface = 1;
    store.horses[h].runs[r].distance = 1600;
    store.horses[h].runs[r].speedFigure = figure;
    store.horses[h].runs[r].trackVariant = figure == 0 ? 0.0f : 1.5f;
}

Settings graphSettings(const QString &value)
{
    Settings settings;
    settings.iniGraph.fill(value);
    settings.kakeritu = 0.3f;
    return settings;
}

std::vector<DrawPrimitive> primitivesOf(const RecordedDrawing &drawing, PrimitiveKind kind)
{
    std::vector<DrawPrimitive> out;
    std::copy_if(drawing.primitives().begin(), drawing.primitives().end(), std::back_inserter(out),
        [kind](const DrawPrimitive &p) { return p.kind == kind; });
    return out;
}

std::vector<DrawPrimitive> textsReading(const RecordedDrawing &drawing, const QString &text)
{
    std::vector<DrawPrimitive> out;
    for (const DrawPrimitive &p : primitivesOf(drawing, PrimitiveKind::Text)) {
        if (p.text == text)
            out.push_back(p);
    }
    return out;
}

std::vector<DrawPrimitive> primitivesIn(
    const RecordedDrawing &drawing, PrimitiveKind kind, const QColor &colour)
{
    std::vector<DrawPrimitive> out;
    for (const DrawPrimitive &p : primitivesOf(drawing, kind)) {
        if (p.colour == colour)
            out.push_back(p);
    }
    return out;
}

double xOfDaysBefore(double daysBefore)
{
    return (1 - daysBefore / 420) * 8785 + 250;
}

double yOfValue(double value)
{
    return (100 - value) / 100 * 6335 + 200;
}

}  // namespace marunoki::test
