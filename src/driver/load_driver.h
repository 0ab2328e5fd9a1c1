#pragma once
// The load driver: one race from its card to its figures.
//
// NOTES ON THE DESIGN
// - The steps, in order: reset the store; check the selection (the first box still
//   at its initial text gets its message and ends the load); open marunoki.dat
//   and read it through (a file missing, refused or cut short ends the load at
//   "dataファイルが開けません", its path and cause as the detail: no figure can
//   exist without it); compose the card
//   address of the chosen site; read the card; read every runner's page in
//   horse-number order (on Site 1 each followed by the local-racing merge when
//   NAR_data.mdb lies in the application folder); run the analysis; record the
//   race in the journal (journal_recorder.h).
// - A reader's status decides what follows: 1 on the card, or on a Site 2 horse
//   page, ends the load with "出馬表が正常に読み込めません"; 1 on a Site 1 horse page
//   names the horse number and the load goes on; 2 anywhere ends the load with
//   "処理を中止します（ユーザーキャンセル）". A card read that finds no runner is an
//   unreadable card as well.
// - A site setting other than "サイト1" and "サイト2" reads nothing and goes on
//   to the analysis of the empty store. A site never set (the settings read
//   stopped before it) ends the load with a message instead.
// - What the load could not read while it went on (a Site 1 runner's page, the
//   local-racing merge of a runner, NAR_data.mdb, a runner's figures cut short
//   by a failed lookup, the card's rows after a break in its horse numbers) is
//   kept in the store's gaps: the load is analysed but incomplete.
// - Once the card is read, every runner's page is asked for ahead (prefetch), so
//   the network fetches them in parallel while the readers take them in order.
//   The results are the same as loading them one by one.
// - marunoki.dat and NAR_data.mdb are each opened once per load and stay open
//   until the analysis has finished.
// - The driver runs on one thread (the page source may use others); nothing it
//   calls spins an event loop. The stop request is the store's cancelFlag.

#include "app/common.h"
#include "app/settings_values.h"
#include "driver/race_selection.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace marunoki {

// The message of a load the user stopped.
inline const QString kUserCancelMessage = QStringLiteral("処理を中止します（ユーザーキャンセル）");
// The message of a load stopped because marunoki.dat could not be opened.
inline const QString kTrackDbUnreadableMessage = QStringLiteral("dataファイルが開けません");

class CardReader;
class HistoryReader;
class JournalRecorder;
class MessageSink;
class PageSource;
class ProgressSink;
class RaceStore;

// What one load works with. Nothing is owned.
struct LoadContext {
    RaceStore &store;
    Settings settings;  // kakeritu and the two sites' base addresses
    AppFolder folder;  // where marunoki.dat and NAR_data.mdb lie
    PageSource &source;
    ProgressSink &progress;
    MessageSink &messages;
    // Called once the card is read and every runner's page has been asked for;
    // a race day uses it to start on the next race. Empty = nothing.
    std::function<void()> pagesAsked = {};
    // Where an analysed race is recorded; null = a recorder of this load alone,
    // for the folder's journal when settings.keepJournal.
    JournalRecorder *journal = nullptr;
};

struct [[nodiscard]] LoadResult {
    // The load went through to the analysis (the store holds a race).
    bool analysed = false;
    // The message the load stopped at; empty when it was not stopped.
    QString stopMessage;
    // What lies behind it: the failed page's address and cause, or the database
    // file and cause ("<address> (<cause>)"); empty when there is none.
    QString stopDetail;
    // The race was analysed but could not be recorded in the journal (said
    // through the messages).
    bool journalFailed = false;
};

// One site's way of reading a race, chosen once per load: the site's base
// address, the race's card address there, and the site's two readers.
struct SiteReaders {
    ReadingSite site = ReadingSite::None;
    QString base;
    QString cardUrl;
    std::unique_ptr<CardReader> card;
    std::unique_ptr<HistoryReader> history;

    SiteReaders();
    SiteReaders(SiteReaders &&) noexcept;
    SiteReaders &operator=(SiteReaders &&) noexcept;
    ~SiteReaders();
};

// The readers of the selection's site with the settings' base address; nothing
// for a site setting that names no site.
std::optional<SiteReaders> siteReaders(const RaceSelection &selection, const Settings &settings);

// Runs one load as described above. Messages go to context.messages, the status
// line to context.progress.
LoadResult runLoad(const RaceSelection &selection, LoadContext &context);

}  // namespace marunoki
