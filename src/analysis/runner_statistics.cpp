#include "analysis/runner_statistics.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace marunoki {

namespace {

constexpr double kRecentDays = 90;

using RunFilter = std::function<bool(int run)>;

// Mean of the runner's selected non-zero figures into its statistic. The total is
// kept in single precision like the figures themselves.
void accumulateMean(RaceStore &store, qint32 h, Statistic Runner::*statistic, const RunFilter &take,
    const QString &error, MessageSink &messages)
{
    if (!isHorseNumber(h))
        return;
    Statistic &mean = store.horses[h].*statistic;
    float total = 0.0f;
    for (int r = 1; r <= kMaxRuns; ++r) {
        const float figure = store.horses[h].runs[r].speedFigure;
        if (figure == 0.0f || !take(r))
            continue;
        mean.runs += 1.0f;
        total = total + figure;
        if (!std::isfinite(total)) {
            messages.message(error);
            return;
        }
    }
    if (mean.runs > 0.0f)
        mean.value = total / mean.runs;
}

void accumulateBest(RaceStore &store, qint32 h, Statistic Runner::*statistic, const RunFilter &take)
{
    if (!isHorseNumber(h))
        return;
    Statistic &best = store.horses[h].*statistic;
    for (int r = 1; r <= kMaxRuns; ++r) {
        const float figure = store.horses[h].runs[r].speedFigure;
        if (figure == 0.0f || !take(r))
            continue;
        best.runs += 1.0f;
        if (best.value < figure)
            best.value = figure;
    }
}

bool anyRun(int)
{
    return true;
}

// Runs dated strictly after the cut-off 90 days before the race.
RunFilter recentRuns(const RaceStore &store, qint32 h)
{
    const double cutOff = store.raceDate - kRecentDays;
    return [&store, cutOff, h](int r) { return store.horses[h].runs[r].date > cutOff; };
}

// The first run of runner k in the same past race as run r of runner h, or 0.
int sameRace(const RaceStore &store, int h, int r, int k)
{
    for (int d = 1; d <= kMaxRuns; ++d) {
        if (store.horses[k].runs[d].date == store.horses[h].runs[r].date
            && store.horses[k].runs[d].course == store.horses[h].runs[r].course
            && store.horses[k].runs[d].raceNumber == store.horses[h].runs[r].raceNumber)
            return d;
    }
    return 0;
}

}  // namespace

void meanFigure(RaceStore &store, qint32 h, MessageSink &messages)
{
    accumulateMean(
        store, h, &Runner::meanFigure, anyRun, QStringLiteral("指数の分析エラー(err-AC03)"), messages);
}

void bestFigure(RaceStore &store, qint32 h)
{
    accumulateBest(store, h, &Runner::bestFigure, anyRun);
}

void recentMeanFigure(RaceStore &store, qint32 h, MessageSink &messages)
{
    accumulateMean(store, h, &Runner::recentMeanFigure, recentRuns(store, h),
        QStringLiteral("指数の分析エラー(err-AC05)"), messages);
}

void recentBestFigure(RaceStore &store, qint32 h)
{
    accumulateBest(store, h, &Runner::recentBestFigure, recentRuns(store, h));
}

void headToHead(RaceStore &store, qint32 h)
{
    if (!isHorseNumber(h))
        return;
    auto &record = store.horses[h].headToHead;
    // Only this runner's figure is asked for: a meeting counts for h when h has a
    // figure in that race, whether or not the opponent has one.
    for (int r = 1; r <= kMaxRuns; ++r) {
        if (store.horses[h].runs[r].speedFigure == 0.0f)
            continue;
        for (const qint32 k : store.runners()) {
            if (k == h)
                continue;
            const int d = sameRace(store, h, r, k);
            if (d == 0)
                continue;
            if (store.horses[h].runs[r].finish < store.horses[k].runs[d].finish)
                record[k].ahead += 1.0f;
            else if (store.horses[h].runs[r].finish > store.horses[k].runs[d].finish)
                record[k].behind += 1.0f;
        }
    }
    for (int k = 1; k <= kMaxRunners; ++k) {
        record[0].ahead += record[k].ahead;
        record[0].behind += record[k].behind;
    }
}

void runningStyle(RaceStore &store, qint32 h, MessageSink &messages)
{
    if (!isHorseNumber(h))
        return;
    const QString error = QStringLiteral("指数の分析エラー(err-AC14)");
    const qint32 fieldSize = store.fieldSize;
    auto &style = store.horses[h].runningStyle;
    // Runs 0..4: run 0 is today's race and has no corner positions, so in practice
    // the index rests on the four most recent runs.
    for (int r = 0; r <= 4; ++r) {
        const qint32 corner = store.horses[h].runs[r].cornerPositions[1];
        if (corner == 0)
            continue;
        style.runs += 1.0f;
        qint32 product = 0;
        if (__builtin_mul_overflow(corner, qint32(8), &product) || fieldSize == 0) {
            messages.message(error);
            return;
        }
        // The position is scaled to an eight-horse field by today's field size.
        style.value = static_cast<float>(
            static_cast<double>(style.value) + static_cast<double>(product) / static_cast<double>(fieldSize));
    }
    if (style.runs > 0.0f)
        style.value = style.value / style.runs;
}

void runnerStatistics(RaceStore &store, qint32 h, MessageSink &messages)
{
    meanFigure(store, h, messages);
    bestFigure(store, h);
    recentMeanFigure(store, h, messages);
    recentBestFigure(store, h);
    headToHead(store, h);
    runningStyle(store, h, messages);
}

void topThreeMeans(RaceStore &store)
{
    auto &top = store.topMeans;
    for (int h = 1; h <= kMaxRunners; ++h) {
        const float m = store.horses[h].meanFigure.value;
        if (m > top[1]) {
            top[3] = top[2];
            top[2] = top[1];
            top[1] = m;
        } else if (m > top[2]) {
            top[3] = top[2];
            top[2] = m;
        } else if (m > top[3]) {
            top[3] = m;
        }
    }
}

void referenceLine(RaceStore &store, float kakeritu, MessageSink &messages)
{
    std::vector<float> figures;
    for (const qint32 h : store.runners()) {
        for (int r = 0; r <= kMaxRuns; ++r) {
            if (store.horses[h].runs[r].speedFigure != 0.0f)
                figures.push_back(store.horses[h].runs[r].speedFigure);
        }
    }
    const auto n = static_cast<qint64>(figures.size());
    // The extra 0 makes a share of 1.0 land on "no figure" rather than past the end.
    figures.push_back(0.0f);
    std::sort(figures.begin(), figures.end(), std::greater<float>());

    const double index = roundHalfEven(static_cast<double>(kakeritu) * static_cast<double>(n));
    if (!(index >= 0.0 && index <= static_cast<double>(n))) {
        messages.message(QStringLiteral("平均指数の分析エラー(err-AC16)"));
        return;
    }
    store.referenceFigure = figures[static_cast<std::size_t>(index)];
}

qint32 graphBaseOf(const RaceStore &store)
{
    qint64 total = 0;
    qint64 high = 0;
    qint64 low = 0;
    for (const qint32 h : store.runners()) {
        for (int r = 1; r <= kMaxRuns; ++r) {
            const float figure = store.horses[h].runs[r].speedFigure;
            if (figure == 0.0f)
                continue;
            ++total;
            if (figure > 100.0f)
                ++high;
            if (figure < 0.0f)
                ++low;
        }
    }
    qint32 base = 0;
    if (total > 0) {
        if (static_cast<double>(high) / static_cast<double>(total) > 0.1)
            base = 30;
        // Many figures below 0 need room under the scale more than high ones above.
        if (static_cast<double>(low) / static_cast<double>(total) > 0.11)
            base = -30;
    }
    return base;
}

}  // namespace marunoki
