#pragma once
// Runs one drawing step of the speed-figure graph on a fresh 9135 x 6735 box.

#include "graph_fixture.h"
#include "view/graph_steps.h"

namespace marunoki::test {

struct StepResult {
    RecordedDrawing box;
    bool ok = false;
};

inline StepResult runStep(bool (*step)(const graph::StepContext &), const RaceStore &store,
    float kakeritu = 0.3f, qint32 runner = 1)
{
    StepResult result;
    result.box.setSize(9135, 6735);
    const GraphLayout layout = GraphLayout::of(result.box, store.raceDate);
    const graph::StepContext context {store, layout, result.box, runner, kakeritu};
    result.ok = step(context);
    return result;
}

}  // namespace marunoki::test
