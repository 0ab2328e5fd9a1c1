#pragma once
// Speed figures (SP指数), last-three-furlong figures (上がり指数) and the track
// variant applied, for every past run of every runner, and the analysis driver
// that follows them with the runner and race statistics.
//
// NOTES ON THE DESIGN
// - A figure is the time advantage over the average time of the same course,
//   surface and distance, scaled per 1600 m (central) or 1500 m (local), plus the
//   day's track variant, on a scale where an average central run scores 70.
// - A run whose course is numeric text ("05", also "00") is a central run and is
//   looked up in marunoki.dat; any other course text is a local course name and is
//   looked up in NAR_data.mdb.
// - Inputs are single precision; every formula is evaluated in double, in the order
//   the terms are written, and the result is stored as single precision. The local
//   offsets are applied as +50 then -14.8 and +60 then -5.18: rearranging them would
//   change the last bit of some figures.
// - A figure of 0 means "no figure" everywhere; a run that is skipped writes nothing.
// - The caller opens both databases once per load and keeps them open for the whole
//   analysis; the results are the same as opening them for every runner.

#include <QtGlobal>

namespace marunoki {

class MessageSink;
class RaceStore;
class TrackDatabase;

// The reference tables the analysis reads. Neither is owned.
struct AnalysisSources {
    // marunoki.dat; null when it could not be opened (central runs then fail with
    // the runner-pass error, as a failing lookup does).
    TrackDatabase *central = nullptr;
    // NAR_data.mdb; null when there is no such file or it could not be opened
    // (local runs then simply get no figure).
    TrackDatabase *local = nullptr;
};

enum class RunSource { Central, Local };

// Speed figure of one run: ((A - time) / distance * K + V) * 10 + B, evaluated in
// double from the single-precision inputs. Distance must not be 0.
double speedFigure(RunSource source, float averageTime, float time, qint32 distance, float variant);

// Last-three-furlong figure: ((A * 600 / distance - last3f) / distance * 1500
// + V * 0.4) * 10 + E, evaluated in double. Distance must not be 0.
double agariFigure(RunSource source, float averageTime, float last3f, qint32 distance, float variant);

// The runner pass: computes speedFigure, last3fFigure and trackVariant of runs 1..50 of
// runner h. Obstacle runs and runs without a time are skipped. A run
// without a distance shows "U_sisuu算出エラー(err-AC01)" and gets no figure; the
// later runs are still computed. A lookup that fails, a central run without
// marunoki.dat, or a figure that is not a finite single-precision number shows the
// same message and ends the pass: figures already written stay, later runs keep 0,
// and the runner's gap (RaceStore::gaps) says so.
void computeRunnerFigures(RaceStore &store, qint32 h, const AnalysisSources &sources, MessageSink &messages);

// The analysis driver: for every runner 1..fieldSize, the runner pass and the six
// runner statistics; then the top three means, the reference line (kakeritu is
// the share setting) and the graph base.
void analyseRace(RaceStore &store, const AnalysisSources &sources, float kakeritu, MessageSink &messages);

}  // namespace marunoki
