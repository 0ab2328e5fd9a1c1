#pragma once
// Builds race stores by hand for the view tests: a runner with dated past runs
// whose every field the grids show is set, with values that differ by run so a
// cell written from the wrong run shows up.

#include "app/race_store.h"

namespace marunoki::test {

// Race day of the hand-built races: 2026-11-29.
double viewRaceDay();

// Names runner h and sets today's entry (run 0): bracket, jockey, weight carried,
// body weight, the race day.
void addRunner(RaceStore &store, int h, const QString &name, int bracket);

// Past run r of runner h, 14 × r days before the race: course "05", turf 1600 m
// on good going, 3rd of 16, 5th favourite, jockey "騎手" + r, 57 kg, time 95.3,
// margin 0.2, 3f 34.5, 480 kg, corners 3-3-2-1, figure 60 + r with a track
// variant, 上がり figure 50 + r.
void addRun(RaceStore &store, int h, int r);

}  // namespace marunoki::test
