#pragma once
// The database files of a test application folder, made to fit the sample race
// (support/sample_race.h): a track database whose reference rows cover every
// central run of the race, and a local-racing database with local runs for the
// runners named.

#include <QString>
#include <QVariant>

#include <vector>

namespace marunoki::test {

// Writes marunoki.dat: a variant for every run day, course and surface of the
// sample race, and the average time of every distance, course and surface.
void writeSampleTrackDb(const QString &path);

// One local run of a runner, at 大井 on dirt over 1600 m.
struct LocalRun {
    QString name;
    int daysBefore = 10;
    QVariant last3f = 38.5;  // a Null QVariant stores Null
    double time = 101.5;
};

// Writes NAR_data.mdb with the race and result tables holding these runs and
// the local reference rows (variant and average time) for 大井 dirt 1600 m on
// every day the runs use.
void writeSampleNarDb(const QString &path, const std::vector<LocalRun> &runs);

}  // namespace marunoki::test
