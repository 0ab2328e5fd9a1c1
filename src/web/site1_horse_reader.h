#pragma once
// Site 1 horse-history reader: one runner's past-performance page fills the
// runner's pedigree and its past runs 1..49 (newest first), taking only runs of
// the 420 days before the race, for the runner n it is given.
//
// The page is read from fixed cells relative to the profile row (the first row in
// 0..39 whose first cell begins with "生年月日") and the results header (the first
// row in 20..99 whose first cell is "年月日"). The result rows carry no course
// or race number; the course scan takes them from each run's race link, which
// follows the run's date text (yy/m/d) in the page HTML.
//
// Messages: "）umaデータ読込みエラー" (profile row missing; no runs read),
// "全て読み込み出来ませんでした" (49 runs filled; later rows are not read),
// "WebData読込みエラー(err-AB02)" (any other failure in the history parse; runs
// filled so far stay), "U_Url読込みエラー(err-AB03)" (a failure in the course scan;
// courses and race numbers filled so far stay).

#include "web/reader_page.h"

#include <QString>

namespace marunoki {

class MessageSink;
class PageLoader;
class RaceStore;

// The page check: some row in 10..89 has "平地競走成績" as its first cell.
bool checkUma(const PageTable &table);

// The history parse for runner n: pedigree and result rows.
void parseUma(const PageTable &table, RaceStore &store, qint32 n, MessageSink &messages);

// The course scan: course and raceNumber of runner n's runs from the race links.
void scanUmaCourses(const QString &pageHtml, RaceStore &store, qint32 n, MessageSink &messages);

// Both parse steps in order, as after a load that passed the check.
void parseUmaPage(const PageTable &table, RaceStore &store, qint32 n, MessageSink &messages);

// Holds the page table of the last horse page it loaded.
class Site1HorseReader final : public HistoryReader {
public:
    // Loads runner n's page at url with the runner status line
    // ("03/16 <name>成績読込み中・・・") and, when the check passes, runs both
    // parse steps. Returns the loader's status. siteBase is not
    // needed by this reader; it is taken so that every reader is called alike.
    PageStatus readHistory(PageLoader &loader, const QString &url, const QString &siteBase, RaceStore &store,
        qint32 n, MessageSink &messages) override;
};

}  // namespace marunoki
