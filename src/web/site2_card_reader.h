#pragma once
// Site 2 race-card reader: the race card of the chosen race fills the race
// fields, the runners and run 0 of every runner, and each runner's
// past-performance address. Site 2 prints one row per runner and its own bracket
// numbers, which are taken as printed; it gives no coat colour and no trainer.
//
// Landmarks: the race row (the first row in 0..9 whose first cell contains "R";
// the date is in the row above it, the conditions in the row below) and the header
// row (the first row in 5..19 whose second cell is "馬"). Runner n is on the row
// header + 1 + n; the row right after the header is a second header line.
//
// Messages: "出走データ読込みエラー" (race or header row missing; the card parse
// ends), "WebData読込みエラー(err-AA22)" (any other failure in the card parse,
// e.g. a bracket or weight cell that is not a number; the parse ends there and
// fieldSize keeps its value), "U_Url読込みエラー(err-AA23)" (the horse-link scan
// failed).

#include "web/reader_page.h"

#include <QString>

namespace marunoki {

class MessageSink;
class PageLoader;
class RaceStore;

// The page check: some row in 5..19 has "枠" (spaces aside) as its first cell.
bool checkSyutuba02(const PageTable &table);

// The card parse: race date, title, conditions, runners with their brackets.
void parseSyutuba02(const PageTable &table, RaceStore &store, MessageSink &messages);

// The horse-link scan over the page HTML for runners 1..fieldSize.
void scanSyutuba02Links(
    const QString &pageHtml, const QString &siteBase, RaceStore &store, MessageSink &messages);

// Both parse steps in order, as after a load that passed the check.
void parseSyutuba02Page(
    const PageTable &table, const QString &siteBase, RaceStore &store, MessageSink &messages);

// Holds the page table of the last card it loaded.
class Site2CardReader final : public CardReader {
public:
    // Loads the card at url (status text "出馬表読込み中・・・") and, when the
    // page check passes, runs both parse steps. Returns the loader's status.
    PageStatus readCard(PageLoader &loader, const QString &url, const QString &siteBase, RaceStore &store,
        MessageSink &messages) override;
};

}  // namespace marunoki
