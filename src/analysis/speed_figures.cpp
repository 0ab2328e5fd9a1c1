#include "analysis/speed_figures.h"

#include "analysis/runner_statistics.h"
#include "analysis/track_db.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace marunoki {

namespace {

const QString kPassError = QStringLiteral("U_sisuu算出エラー(err-AC01)");

constexpr int kSurfaceOther = 2;  // obstacle races have no average times

struct Constants {
    double perDistance;  // K: the distance the time advantage is scaled to
    double base;  // B, applied as base then baseAdjust
    double baseAdjust;
    double agariBase;  // E, applied as agariBase then agariAdjust
    double agariAdjust;
};

const Constants &constantsOf(RunSource source)
{
    static const Constants central {1600.0, 70.0, 0.0, 70.0, 0.0};
    // Local racing is slower and its average times come from fewer races; the
    // offsets put a local run on a scale comparable with the central one.
    static const Constants local {1500.0, 50.0, -14.8, 60.0, -5.18};
    return source == RunSource::Central ? central : local;
}

// The value as single precision, or nothing when it is not a finite float (a
// division by zero, a NaN from the database, a result beyond the float range).
std::optional<float> finiteFloat(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

}  // namespace

double speedFigure(RunSource source, float averageTime, float time, qint32 distance, float variant)
{
    const Constants &c = constantsOf(source);
    const double d = distance;
    // Adding the central adjustment of 0.0 changes nothing.
    return ((double(averageTime) - double(time)) / d * c.perDistance + double(variant)) * 10.0 + c.base
        + c.baseAdjust;
}

double agariFigure(RunSource source, float averageTime, float last3f, qint32 distance, float variant)
{
    const Constants &c = constantsOf(source);
    const double d = distance;
    return ((double(averageTime) * 600.0 / d - double(last3f)) / d * 1500.0 + double(variant) * 0.4) * 10.0
        + c.agariBase + c.agariAdjust;
}

void computeRunnerFigures(RaceStore &store, qint32 h, const AnalysisSources &sources, MessageSink &messages)
{
    if (!isHorseNumber(h))
        return;
    // A pass that ends early leaves the runner's later runs without figures:
    // the runner is incomplete, and the load says so.
    const auto endPass = [&] {
        messages.message(kPassError);
        QString &missing = store.gaps.missing[size_t(h)];
        if (missing.isEmpty())
            missing = kPassError;
    };
    for (int r = 1; r <= kMaxRuns; ++r) {
        Run &run = store.horses[h].runs[r];
        const bool central = isNumeric(run.course);
        const RunSource source = central ? RunSource::Central : RunSource::Local;
        TrackDatabase *db = central ? sources.central : sources.local;

        if (run.surface == kSurfaceOther || !(run.time > 0.0f))
            continue;
        // Without NAR_data.mdb there is nothing to measure a local run against.
        if (!central && db == nullptr)
            continue;
        // A run without a distance cannot be scaled; it is reported and left out,
        // and the runner's other runs are still measured.
        if (run.distance == 0) {
            messages.message(kPassError);
            continue;
        }
        if (db == nullptr) {
            endPass();
            return;
        }

        const Lookup variantRow = db->trackVariant(run.date, run.course, run.surface);
        if (!variantRow.ok) {
            endPass();
            return;
        }
        const float variant = variantRow.value.value_or(0.0f);
        run.trackVariant = variant;

        const Lookup averageRow = db->averageTime(run.distance, run.course, run.surface);
        if (!averageRow.ok) {
            endPass();
            return;
        }
        if (!averageRow.value) {
            run.speedFigure = 0.0f;
            continue;
        }
        const float average = *averageRow.value;

        const auto sisuu = finiteFloat(speedFigure(source, average, run.time, run.distance, variant));
        if (!sisuu) {
            endPass();
            return;
        }
        run.speedFigure = *sisuu;

        if (run.last3f > 0.0f) {
            const auto agari = finiteFloat(agariFigure(source, average, run.last3f, run.distance, variant));
            if (!agari) {
                endPass();
                return;
            }
            run.last3fFigure = *agari;
        }
    }
}

void analyseRace(RaceStore &store, const AnalysisSources &sources, float kakeritu, MessageSink &messages)
{
    for (const qint32 h : store.runners()) {
        computeRunnerFigures(store, h, sources, messages);
        runnerStatistics(store, h, messages);
    }
    topThreeMeans(store);
    referenceLine(store, kakeritu, messages);
    store.graphBase = graphBaseOf(store);
}

}  // namespace marunoki
