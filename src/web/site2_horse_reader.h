#pragma once
// Site 2 horse-history reader: one runner's past-performance page fills the
// runner's pedigree and its past runs 1..49 (newest first), taking only runs of
// the 420 days before the race, for the runner n it is given. Site 2's result rows
// carry the course, race number and weather with going themselves, so no scan of
// the HTML follows.
//
// Landmarks: the profile row (the first row in 0..39 whose first cell begins with
// "生年月日"; the sire is 13 rows below it, the dam and her sire 21 rows below, in
// the pedigree table) and the results header (the first row in 20..99 whose first
// cell is "Date").
//
// The body-weight cell is read like Site 1's: the number before a change in
// brackets (480(+2) and 480（+2） are 480). A body-weight cell that is still not a
// number (a run abroad, a scratched run) leaves the weight 0 and the row is read
// on, so one odd cell does not cost the runner its remaining runs.
//
// Messages: "umaデータ読込みエラー" (profile row or results header missing; no
// runs read), "全て読み込み出来ませんでした" (49 runs filled),
// "WebData読込みエラー(err-AB22)" (any other failure in the parse, e.g. a
// race-number or time cell that is not a number; runs filled so far stay).

#include "web/reader_page.h"

#include <QString>

namespace marunoki {

class MessageSink;
class PageLoader;
class RaceStore;

// The page check: some row in 5..29 has "生年月日" as its first cell.
bool checkUma02(const PageTable &table);

// The history parse for runner n: pedigree and result rows.
void parseUma02(const PageTable &table, RaceStore &store, qint32 n, MessageSink &messages);

// Holds the page table of the last horse page it loaded.
class Site2HorseReader final : public HistoryReader {
public:
    // Loads runner n's page at url with the runner status line
    // ("03/16 <name>成績読込み中・・・") and, when the check passes, runs the
    // history parse. Returns the loader's status. siteBase is not
    // needed by this reader; it is taken so that every reader is called alike.
    PageStatus readHistory(PageLoader &loader, const QString &url, const QString &siteBase, RaceStore &store,
        qint32 n, MessageSink &messages) override;
};

}  // namespace marunoki
