#pragma once
// A loaded race of any field size for the printing tests: names, brackets, a few
// past runs with figures and the statistics the panels show, straight in the store.

#include "app/race_store.h"

namespace marunoki::test {

// Fills the store with `runners` runners (1..18), a race on 2026-11-29, as a load leaves it.
void fillPrintRace(RaceStore &store, int runners);

}  // namespace marunoki::test
