#include "driver/load_driver.h"

#include "analysis/speed_figures.h"
#include "analysis/track_db.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "db/database.h"
#include "driver/journal_recorder.h"
#include "local/nar_merge.h"
#include "web/page_loader.h"
#include "web/page_source.h"
#include "web/site1_card_reader.h"
#include "web/site1_horse_reader.h"
#include "web/site2_card_reader.h"
#include "web/site2_horse_reader.h"

#include <QFileInfo>
#include <QStringList>

#include <memory>
#include <optional>

namespace marunoki {

namespace {

const QString kCardUnreadable = QStringLiteral("出馬表が正常に読み込めません");
const QString &kUserCancel = kUserCancelMessage;
const QString kTrackDbFile = QStringLiteral("marunoki.dat");
const QString kNarFile = QStringLiteral("NAR_data.mdb");
const QString &kTrackDbUnreadable = kTrackDbUnreadableMessage;
const QString kNoSite
    = QStringLiteral("読込みサイトが設定されていません（オプション設定でサイトを選んでください）");

// Where a load stopped: the message, and behind it the failed page's address
// and cause when a fetch failed (or the file and cause of a database).
struct Stop {
    QString message;
    QString detail;
};

// The databases of one load: each file opened at most once and kept open until
// the load ends. The track lookups are released before their databases.
// marunoki.dat is opened (and read through) before anything else: no figure can
// exist without it. NAR_data.mdb is opened on first use; its state goes into the
// store's gaps.
class LoadDatabases {
public:
    LoadDatabases(const AppFolder &folder, RaceStore &store, MessageSink &messages)
        : folder_(folder)
        , store_(store)
        , messages_(messages)
    { }

    // Opens marunoki.dat; where the load stops when it cannot be opened or read.
    std::optional<Stop> openCentral()
    {
        const QString path = folder_.file(kTrackDbFile);
        OpenedTrackFile file = openTrackFile(path);
        if (!file.value)
            return Stop {kTrackDbUnreadable, QStringLiteral("%1 (%2)").arg(path, file.status.message())};
        central_ = std::move(file.value);
        return std::nullopt;
    }

    // NAR_data.mdb, or null when it is not there or cannot be opened or read
    // (said once, and the load is then incomplete).
    Database *nar()
    {
        if (!narTried_) {
            narTried_ = true;
            if (narExists()) {
                const QString path = folder_.file(kNarFile);
                OpenedTrackFile file = openTrackFile(path);
                nar_ = std::move(file.value);
                store_.gaps.local = nar_ ? LocalDatabaseState::Read : LocalDatabaseState::Unreadable;
                if (!nar_) {
                    store_.gaps.localCause = file.status.message();
                    messages_.detailedMessage(
                        kTrackDbUnreadable, QStringLiteral("%1 (%2)").arg(path, file.status.message()));
                }
            }
        }
        return nar_.get();
    }
    bool narExists() const { return QFileInfo::exists(folder_.file(kNarFile)); }

    // The merge of this load, its query prepared once for every runner; null
    // when NAR_data.mdb is not there or cannot be opened.
    NarMerge *narMerge()
    {
        if (!narMerge_) {
            if (Database *db = nar())
                narMerge_ = std::make_unique<NarMerge>(*db);
        }
        return narMerge_.get();
    }

    // After openCentral() went through.
    AnalysisSources analysisSources()
    {
        if (central_ && !centralTrack_)
            centralTrack_ = std::make_unique<TrackDatabase>(*central_, TrackDatabase::Kind::Central);
        if (Database *local = nar(); local && !localTrack_)
            localTrack_ = std::make_unique<TrackDatabase>(*local, TrackDatabase::Kind::Local);
        return {centralTrack_.get(), localTrack_.get()};
    }

private:
    const AppFolder &folder_;
    RaceStore &store_;
    MessageSink &messages_;
    bool narTried_ = false;
    // The connections come first: members are destroyed last to first, so the
    // prepared queries go before the connections they run on.
    std::unique_ptr<Database> nar_;
    std::unique_ptr<Database> central_;
    std::unique_ptr<TrackDatabase> centralTrack_;
    std::unique_ptr<TrackDatabase> localTrack_;
    std::unique_ptr<NarMerge> narMerge_;
};

LoadResult stopAt(const Stop &stop, LoadContext &context)
{
    // Pages fetched ahead for this race are of no use any more.
    context.source.cancelAll();
    context.messages.detailedMessage(stop.message, stop.detail);
    return {false, stop.message, stop.detail};
}

// Reads the card and every runner's page of the chosen site. Returns where the
// load stopped, or nothing when it goes on to the analysis.
std::optional<Stop> readRace(const SiteReaders &site, LoadContext &context, LoadDatabases &databases)
{
    RaceStore &store = context.store;
    PageLoader loader(context.source, context.progress, context.messages, store.cancelFlag);

    const PageStatus cardStatus
        = site.card->readCard(loader, site.cardUrl, site.base, store, context.messages);
    if (cardStatus == PageStatus::NotExpected)
        return Stop {kCardUnreadable, loader.failureDetail()};
    if (cardStatus == PageStatus::Cancelled)
        return Stop {kUserCancel, {}};
    // A card that passed its check but gave no runner is a page cut short
    // whose landmarks survived: there is nothing to analyse.
    if (store.fieldSize <= 0)
        return Stop {kCardUnreadable, {}};

    QStringList horsePages;
    for (const qint32 n : store.runners()) {
        if (!store.horses[n].pageAddress.isEmpty())
            horsePages.append(store.horses[n].pageAddress);
    }
    loader.prefetch(horsePages);
    if (context.pagesAsked)
        context.pagesAsked();

    // The merge runs only on Site 1 and only with the local-racing file present,
    // decided once for the whole load.
    const bool merge = site.site == ReadingSite::One && databases.narExists();
    const qint32 last = store.runnerCount();
    for (const qint32 n : store.runners()) {
        context.progress.runnerProgress(n, last);
        const QString url = store.horses[n].pageAddress;
        const PageStatus status
            = site.history->readHistory(loader, url, site.base, store, n, context.messages);
        if (status == PageStatus::Cancelled)
            return Stop {kUserCancel, {}};
        if (status == PageStatus::NotExpected) {
            if (site.site == ReadingSite::Two)
                return Stop {kCardUnreadable, loader.failureDetail()};
            // Site 1 carries on without this runner's history; the load is
            // then incomplete.
            const QString detail = loader.failureDetail();
            context.messages.detailedMessage(
                QString::number(n) + QStringLiteral("番の馬情報が正常に読み込めません"), detail);
            store.gaps.missing[size_t(n)] = detail.isEmpty()
                ? QStringLiteral("馬情報が正常に読み込めません: %1").arg(url)
                : QStringLiteral("馬情報が正常に読み込めません: %1").arg(detail);
            continue;
        }
        if (merge) {
            if (NarMerge *narMerge = databases.narMerge())
                narMerge->merge(store, n, context.messages);
        }
    }
    if (site.site == ReadingSite::One) {
        store.localRuns = !merge   ? LocalRuns::NoDatabase
            : databases.narMerge() ? LocalRuns::Merged
                                   : LocalRuns::Unreadable;
    }
    return std::nullopt;
}

}  // namespace

SiteReaders::SiteReaders() = default;
SiteReaders::SiteReaders(SiteReaders &&) noexcept = default;
SiteReaders &SiteReaders::operator=(SiteReaders &&) noexcept = default;
SiteReaders::~SiteReaders() = default;

std::optional<SiteReaders> siteReaders(const RaceSelection &selection, const Settings &settings)
{
    SiteReaders readers;
    readers.site = selection.site;
    switch (readers.site) {
    case ReadingSite::One:
        readers.base = settings.site1Base;
        readers.cardUrl = site1CardUrl(readers.base, selection);
        readers.card = std::make_unique<Site1CardReader>();
        readers.history = std::make_unique<Site1HorseReader>();
        return readers;
    case ReadingSite::Two:
        readers.base = settings.site2Base;
        readers.cardUrl = site2CardUrl(readers.base, selection);
        readers.card = std::make_unique<Site2CardReader>();
        readers.history = std::make_unique<Site2HorseReader>();
        return readers;
    case ReadingSite::None:
        break;
    }
    return std::nullopt;
}

LoadResult runLoad(const RaceSelection &selection, LoadContext &context)
{
    RaceStore &store = context.store;
    store.clearForLoad();

    const QString missing = missingSelectionMessage(selection);
    if (!missing.isEmpty()) {
        context.messages.message(missing);
        return {false, missing, {}};
    }

    // A settings read that stopped before the site left it unset: there is no
    // site to read from (a site setting naming neither site reads nothing).
    if (selection.site == ReadingSite::None && context.settings.otherSite.isEmpty())
        return stopAt({kNoSite, {}}, context);

    // The race as chosen, for the outputs that name it.
    store.raceCourse = *selection.course;
    store.raceNumber = toWholeNumber(*selection.race).value_or(0);

    LoadDatabases databases(context.folder, store, context.messages);
    if (const auto stop = databases.openCentral())
        return stopAt(*stop, context);
    if (const std::optional<SiteReaders> site = siteReaders(selection, context.settings)) {
        if (const auto stop = readRace(*site, context, databases))
            return stopAt(*stop, context);
    }
    analyseRace(store, databases.analysisSources(), context.settings.kakeritu, context.messages);
    JournalRecorder own(context.folder, context.settings.keepJournal);
    JournalRecorder &journal = context.journal ? *context.journal : own;
    const QString base
        = selection.site == ReadingSite::One ? context.settings.site1Base : context.settings.site2Base;
    LoadResult result {true, {}, {}};
    result.journalFailed
        = !journal.record(selection, store, context.settings.kakeritu, base, context.messages);
    return result;
}

}  // namespace marunoki
