#include "driver/journal_recorder.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/race_marks.h"
#include "driver/race_selection.h"

#include <QFileInfo>

namespace marunoki {

std::optional<RaceKey> raceKeyOf(const RaceSelection &selection, const RaceStore &store)
{
    const int site = selection.site == ReadingSite::One ? 1 : selection.site == ReadingSite::Two ? 2 : 0;
    if (site == 0 || store.raceDate <= 0 || !missingSelectionMessage(selection).isEmpty())
        return std::nullopt;
    const Ymd ymd = ymdFromSerial(store.raceDate);
    RaceKey key;
    key.site = site;
    key.date = QDate(ymd.year, ymd.month, ymd.day);
    key.course = courseCode(*selection.course);
    key.meeting = selection.meeting->toInt();
    key.day = selection.day->toInt();
    key.race = selection.race->toInt();
    if (key.course == QStringLiteral("00"))
        return std::nullopt;
    return key;
}

MarksByNumber recordedMarks(
    const AppFolder &folder, bool keep, const RaceSelection &selection, const RaceStore &store)
{
    MarksByNumber marks;
    // Opening makes a missing journal: a report alone never does.
    if (!keep || !QFileInfo::exists(folder.file(kJournalFile)))
        return marks;
    // The marks as the window shows them on this card; a journal that cannot
    // be read leaves the report without marks, and the load has said why.
    struct : MessageSink {
        void message(const QString &) override { }
    } unsaid;
    RaceMarks shown(folder, store);
    shown.raceShown(selection, true, false, keep, unsaid);
    for (const qint32 n : store.runners()) {
        if (const std::optional<Mark> mark = shown.markOf(n))
            marks.emplace(n, *mark);
    }
    return marks;
}

ResultsByNumber recordedResults(
    const AppFolder &folder, bool keep, const RaceSelection &selection, const RaceStore &store)
{
    const std::optional<RaceKey> key = raceKeyOf(selection, store);
    if (!keep || !key || !QFileInfo::exists(folder.file(kJournalFile)))
        return {};
    Journal::Opened opened = Journal::open(folder.file(kJournalFile));
    if (!opened.status.ok())
        return {};
    Result<ResultsByNumber> read = opened.value->raceResults(*key);
    ResultsByNumber results;
    for (auto &[n, result] : read.value) {
        if (store.isRunner(n))
            results.emplace(n, std::move(result));
    }
    return results;
}

JournalRecorder::JournalRecorder(const AppFolder &folder, bool keep)
    : path_(folder.file(kJournalFile))
    , keep_(keep)
{ }

bool JournalRecorder::failed() const
{
    std::lock_guard lock(mutex_);
    return failed_;
}

bool JournalRecorder::record(const RaceSelection &selection, const RaceStore &store, float share,
    const QString &siteBase, MessageSink &messages)
{
    const std::optional<RaceKey> key = raceKeyOf(selection, store);
    if (!keep_ || !key || store.runnerCount() == 0)
        return true;
    std::lock_guard lock(mutex_);
    if (givenUp_)
        return false;
    Status status = Status::success();
    Journal::Opened opened = Journal::open(path_);
    if (!opened.status.ok()) {
        status = opened.status;
    } else {
        status = opened.value->recordRace(*key, store, share, siteBase);
        if (status.ok())
            status = opened.value->fillResultsFromRuns(key->site, store).status;
    }
    if (status.ok())
        return true;
    failed_ = true;
    QString said = status.message();
    if (Journal::isBusy(status)) {
        givenUp_ = true;
        said += QStringLiteral("。今回の残りのレースは成績ジャーナルに記録しません");
    }
    if (said != reported_) {
        reported_ = said;
        messages.message(said);
    }
    return false;
}

}  // namespace marunoki
