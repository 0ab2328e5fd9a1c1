#pragma once
// Site 1 race-card reader: the race card (出馬表) of the chosen race fills the
// race fields, the runners and run 0 of every runner, and each runner's
// past-performance address.
//
// The card is read from fixed cells relative to two landmark rows: the date row
// (the first row in 0..29 whose second cell begins with "20") and the header row
// (the first row in 20..69 whose first cell begins with "枠番"). Each runner has
// two rows below the header. The bracket numbers are not read from the page but
// computed from the field size by the central racing rule.
//
// Messages: "出走データ読込みエラー" (date or header row missing; the card parse
// ends), "WebData読込みエラー(err-AA02)" (any other failure in the card parse,
// e.g. a weight cell without "kg"; the parse ends there and fieldSize keeps its
// value), "U_Url読込みエラー(err-AA03)" (the horse-link scan failed).

#include "web/reader_page.h"

#include <QString>

namespace marunoki {

class MessageSink;
class PageLoader;
class RaceStore;

// The page check: some row in 25..49 has "出馬表" as its first cell.
bool checkSyutuba(const PageTable &table);

// The card parse: race date, title, conditions, runners, brackets.
void parseSyutuba(const PageTable &table, RaceStore &store, MessageSink &messages);

// The horse-link scan over the page HTML for runners 1..fieldSize.
void scanSyutubaLinks(
    const QString &pageHtml, const QString &siteBase, RaceStore &store, MessageSink &messages);

// Both parse steps in order, as after a load that passed the check.
void parseSyutubaPage(
    const PageTable &table, const QString &siteBase, RaceStore &store, MessageSink &messages);

// Bracket number of horse n in a field of `runners` (central racing rule):
// up to 7 runners one bracket each; 8..15 share from the back; 16 two per
// bracket; 17 and 18 put three in the last brackets.
qint32 site1Bracket(int n, int runners);

// Holds the page table of the last card it loaded.
class Site1CardReader final : public CardReader {
public:
    // Loads the card at url (status text "出馬表読込み中・・・") and, when the
    // page check passes, runs both parse steps. Returns the loader's status; the parse
    // never changes it.
    PageStatus readCard(PageLoader &loader, const QString &url, const QString &siteBase, RaceStore &store,
        MessageSink &messages) override;
};

}  // namespace marunoki
