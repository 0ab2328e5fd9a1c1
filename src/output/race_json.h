#pragma once
// The race store as a JSON document (UTF-8), for the command line and for checks
// that compare loads.
//
// Shape: the race fields, the race statistics, and per runner slot 1..fieldSize its
// fields, statistics ([value, count] pairs), head-to-head pairs for opponent
// slots 0..18, and its runs: run 0 always, then every run 1..50 whose date is
// greater than 0, in index order. Dates are "YYYY-MM-DD"; a date of 0 (no date,
// possible for run 0 and raceDate before a card was read) is null. Floats are
// written as their shortest round-trip decimal text (25.2, not 25.200000762939453);
// a float that is not finite is null.
//
// What the load could not read (the store's gaps): at the top level "complete"
// (false when anything below is missing), "leftOut" (the card's rows after a
// break in its horse numbers, "6番 <name>") and "localDatabase" ({"state":
// "absent" | "read" | "unreadable"}, with "missing": the cause when unreadable);
// per runner "complete", with "missing": the cause when false.

#include <QByteArray>

namespace marunoki {

class RaceStore;

QByteArray raceStoreJson(const RaceStore &store);

}  // namespace marunoki
