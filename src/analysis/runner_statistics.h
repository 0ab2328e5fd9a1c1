#pragma once
// The statistics derived from the speed figures: per runner (for runner h, after
// its figures are computed) and per race (after every runner).
//
// Every per-runner Statistic holds the statistic (value) and the number of runs
// that went into it (runs); a figure of 0 is "no figure" and is never
// counted. The tables start at 0 (the store's reset) and are accumulated into, so
// each procedure runs once per load. Arithmetic faults (a float total that
// overflows, an integer product that overflows, an index outside the list) show the
// step's message and end that step only; what the step had accumulated stays.

#include <QtGlobal>

namespace marunoki {

class MessageSink;
class RaceStore;

// Mean of the runner's figures over runs 1..50 (meanFigure). A total that overflows
// shows "指数の分析エラー(err-AC03)".
void meanFigure(RaceStore &store, qint32 h, MessageSink &messages);
// Highest figure over runs 1..50 (bestFigure); starts at 0, so never below 0.
void bestFigure(RaceStore &store, qint32 h);
// Mean of the figures of runs dated strictly after raceDate - 90 days
// (recentMeanFigure). A total that overflows shows "指数の分析エラー(err-AC05)".
void recentMeanFigure(RaceStore &store, qint32 h, MessageSink &messages);
// Highest of those figures (recentBestFigure), never below 0.
void recentBestFigure(RaceStore &store, qint32 h);
// Head-to-head record (headToHead) against every other runner of today's card: for
// each run with a figure, the first run of the opponent in the same past race (same
// date, course text and race number) decides who finished ahead; a dead heat counts
// nothing. Opponent slot 0 receives the totals.
void headToHead(RaceStore &store, qint32 h);
// Running-style index (runningStyle): mean of first-corner position * 8 / fieldSize over
// runs 0..4 that have a first-corner position. An overflowing product or an empty
// card shows "指数の分析エラー(err-AC14)".
void runningStyle(RaceStore &store, qint32 h, MessageSink &messages);
// The six above for runner h, in that order.
void runnerStatistics(RaceStore &store, qint32 h, MessageSink &messages);

// The three highest means of runner slots 1..18 into topMeans[1..3], highest
// first; strict comparisons, so equal means keep their order and means of 0 or
// below never enter.
void topThreeMeans(RaceStore &store);
// referenceFigure: the non-zero figures of runners 1..fieldSize (runs 0..50) plus one 0,
// sorted descending; the element at the nearest index to kakeritu * n (halves to
// even; the product of the single-precision share and n, formed in double). An
// index outside the list shows "平均指数の分析エラー(err-AC16)" and leaves
// referenceFigure as it was.
void referenceLine(RaceStore &store, float kakeritu, MessageSink &messages);
// Lower end of the graph's figure scale: 30 when more than 10% of the figures of
// runs 1..50 exceed 100, -30 when more than 11% are below 0 (this wins), else 0.
qint32 graphBaseOf(const RaceStore &store);

}  // namespace marunoki
