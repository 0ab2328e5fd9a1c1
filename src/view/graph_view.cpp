// The driver of the speed-figure graph: the drawing steps in their fixed order,
// then the grids and panels beside the graph.

#include "view/graph_view.h"

#include "app/format.h"
#include "view/graph_steps.h"
#include "view/runner_panels.h"

#include <optional>

namespace marunoki {

void drawGraph(const RaceStore &store, qint32 runner, const Settings &settings, qint32 tableCheck,
    GraphSurfaces &surfaces, MessageSink &sink)
{
    using namespace graph;
    surfaces.graphBox.clear();
    const GraphLayout layout = GraphLayout::of(surfaces.graphBox, store.raceDate);
    const qint32 h = runner;
    surfaces.runnerBox = formatNumber(h, QStringLiteral("00"));

    // The steps in drawing order, each with the overlay switch it depends on.
    // The last-three-furlong circles come before the speed-figure line so the
    // line lies on top of them. The failure texts are the messages users know:
    // they keep their wording whatever the step is called.
    const struct {
        std::optional<Overlay> overlay;  // nothing: always drawn
        bool (*step)(const StepContext &);
        const char16_t *failure;
    } steps[] = {
        {std::nullopt, drawAxes, u"罫線エラー(err-AD01)"},
        {std::nullopt, drawHeadline, u"U_labelエラー(err-AD02)"},
        {Overlay::LastFurlongs, drawLastFurlongs, u"agariエラー(err-AD16)"},
        {std::nullopt, drawSpeedFigureLine, u"SP_sisuuエラー(err-AD03)"},
        {Overlay::Finish, drawFinishOverlay, u"cyakuエラー(err-AD09)"},
        {Overlay::BodyWeight, drawBodyWeightOverlay, u"taizyuエラー(err-AD04)"},
        {Overlay::Bracket, drawBracketOverlay, u"wakuエラー(err-AD05)"},
        {Overlay::FirstCorner, drawFirstCornerOverlay, u"tukaエラー(err-AD08)"},
        {Overlay::Distance, drawDistanceOverlay, u"kyoriエラー(err-AD06)"},
        {Overlay::Going, drawGoingOverlay, u"babaエラー(err-AD07)"},
    };
    const StepContext context {store, layout, surfaces.graphBox, h, settings.kakeritu};
    for (const auto &s : steps) {
        if (s.overlay && !overlayOn(settings.iniGraph, *s.overlay))
            continue;
        // A step that cannot finish is reported and the drawing goes on with the next one.
        if (!s.step(context))
            sink.message(QString::fromUtf16(s.failure));
    }

    // The race panel, the legend and the grid layout change only with the race,
    // so they are drawn with runner 1, which every load shows first.
    if (h == 1) {
        surfaces.raceInfo = writeRaceInfo(store, sink);
        if (!drawLegend(layout, settings.iniGraph, surfaces.legendBox))
            sink.message(QStringLiteral("凡例作成エラー(err-AD10)"));
        layOutRunGrid(surfaces.runGrid, sink);
    }
    if (tableCheck == 1)
        fillRunGrid(store, h, surfaces.runGrid, sink);
    fillHeadToHeadGrid(store, h, surfaces.taisenGrid, sink);
    // A failed panel keeps its previous caption, as a label does.
    if (const QString info = writeUmaInfo(store, h, sink); !info.isNull())
        surfaces.umaInfo = info;
}

}  // namespace marunoki
