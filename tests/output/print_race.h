#pragma once
// A loaded race of any field size for the printing tests: names, brackets, a few
// past runs with figures and the statistics the panels show, straight in the store.

#include "app/race_store.h"

namespace marunoki::test {

// Fonts, images and PDF writers need a GUI application object (offscreen in
// the tests); makes one the first time.
void ensureGuiApp();

// Fills the store with `runners` runners (1..18), a race on 2026-11-29 and curUma 1.
void fillPrintRace(RaceStore &store, int runners);

}  // namespace marunoki::test
