#include "driver/race_marks.h"

#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/journal_recorder.h"
#include "driver/race_selection.h"

#include <algorithm>

namespace marunoki {

const std::array<MarkCommand, kMarkCount + 1> &markCommands()
{
    static const std::array<MarkCommand, kMarkCount + 1> commands = {{
        {Qt::Key_1, Mark::Honmei, QStringLiteral("◎ 本命")},
        {Qt::Key_2, Mark::Taikou, QStringLiteral("○ 対抗")},
        {Qt::Key_3, Mark::Tanana, QStringLiteral("▲ 単穴")},
        {Qt::Key_4, Mark::Renka, QStringLiteral("△ 連下")},
        {Qt::Key_5, Mark::Ana, QStringLiteral("☆ 穴")},
        {Qt::Key_6, Mark::Kesi, QStringLiteral("× 消し")},
        {Qt::Key_0, std::nullopt, QStringLiteral("印を消す")},
    }};
    return commands;
}

std::optional<MarkCommand> markCommandOfKey(int key)
{
    for (const MarkCommand &command : markCommands()) {
        if (command.key == key)
            return command;
    }
    return std::nullopt;
}

RaceMarks::RaceMarks(const AppFolder &folder, const RaceStore &store)
    : path_(folder.file(kJournalFile))
    , store_(store)
{ }

void RaceMarks::loadStarting()
{
    key_.reset();
    marks_.clear();
    reason_ = kMarksNotAnalysed;
}

void RaceMarks::raceShown(
    const RaceSelection &selection, bool analysed, bool recordFailed, bool keepJournal, MessageSink &messages)
{
    loadStarting();
    const std::optional<RaceKey> key = analysed ? raceKeyOf(selection, store_) : std::nullopt;
    if (!key || store_.runnerCount() == 0)
        return;
    if (!keepJournal) {
        reason_ = kMarksJournalOff;
        return;
    }
    if (recordFailed) {
        reason_ = kMarksNotRecorded;
        return;
    }
    Journal::Opened opened = Journal::open(path_);
    if (!opened.status.ok()) {
        say(opened.status, messages);
        reason_ = opened.status.message();
        return;
    }
    const Result<std::optional<qint64>> race = opened.value->raceId(*key);
    if (!race.status.ok() || !race.value) {
        // Recorded a moment ago by the load; gone only when another program
        // replaced the file meanwhile.
        if (!race.status.ok())
            say(race.status, messages);
        reason_ = race.status.ok() ? kMarksNotRecorded : race.status.message();
        return;
    }
    key_ = key;
    if (!reload(*opened.value, messages)) {
        key_.reset();
        reason_ = said_;
        return;
    }
    reason_.clear();
}

bool RaceMarks::setMark(qint32 runner, std::optional<Mark> mark, MessageSink &messages)
{
    note_.clear();
    if (!possible()) {
        note_ = reason_;
        return false;
    }
    if (!key_ || !store_.isRunner(runner))
        return false;
    // The runner that holds the ◎ ○ ▲ being set on another one gives it up.
    qint32 from = 0;
    if (mark && isSingleMark(*mark)) {
        for (const qint32 n : store_.runners()) {
            if (n != runner && markOf(n) == mark)
                from = n;
        }
    }
    const QString &url = store_.horses[runner].pageAddress;
    Journal::Opened opened = Journal::open(path_);
    if (!opened.status.ok()) {
        say(opened.status, messages);
        return false;
    }
    Journal &journal = *opened.value;
    // A horse that moved keeps one mark: the row of its old number goes, in
    // the same transaction, so a failure leaves the old mark where it was.
    std::vector<MarkChange> changes;
    for (const RunnerMark &old : marks_) {
        if (old.number != runner && runnerOf(old) == runner)
            changes.push_back({*key_, old.number, old.horseUrl, std::nullopt});
    }
    changes.push_back({*key_, runner, url, mark});
    const Status status = journal.setMarks(changes);
    if (!status.ok())
        say(status, messages);
    else if (from != 0)
        note_ = QStringLiteral("%1 を %2番 %3 から %4番 %5 へ移しました")
                    .arg(markSymbol(*mark))
                    .arg(from)
                    .arg(store_.horses[from].name)
                    .arg(runner)
                    .arg(store_.horses[runner].name);
    // What the journal now holds is shown, whether or not the write went through.
    return reload(journal, messages) && status.ok();
}

std::optional<Mark> RaceMarks::markOf(qint32 runner) const
{
    if (!key_ || !store_.isRunner(runner))
        return std::nullopt;
    std::optional<Mark> found;
    for (const RunnerMark &mark : marks_) {
        if (runnerOf(mark) != runner)
            continue;
        // The row of the runner's own number wins over one left by a card
        // on which the horse had another number.
        if (mark.number == runner)
            return mark.mark;
        if (!found)
            found = mark.mark;
    }
    return found;
}

std::vector<MarkRow> RaceMarks::rows() const
{
    std::vector<MarkRow> rows;
    if (!key_)
        return rows;
    for (const RunnerMark &mark : marks_) {
        const qint32 runner = runnerOf(mark);
        // A horse with a row of its own number is listed by that row only.
        if (runner != 0 && markOf(runner) != mark.mark)
            continue;
        if (runner != 0
            && std::any_of(rows.begin(), rows.end(), [&](const MarkRow &r) { return r.runner == runner; }))
            continue;
        if (runner != 0)
            rows.push_back({runner, runner, store_.horses[runner].name, mark.mark});
        else
            rows.push_back({0, mark.number, mark.name, mark.mark});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const MarkRow &a, const MarkRow &b) {
        return a.mark != b.mark ? a.mark < b.mark : a.number < b.number;
    });
    return rows;
}

qint32 RaceMarks::runnerOf(const RunnerMark &mark) const
{
    // Without a page address the number is all there is to go by.
    if (mark.horseUrl.isEmpty())
        return store_.isRunner(mark.number) && store_.horses[mark.number].pageAddress.isEmpty() ? mark.number
                                                                                                : 0;
    for (const qint32 n : store_.runners()) {
        if (horseKey(store_.horses[n].pageAddress) == horseKey(mark.horseUrl))
            return n;
    }
    return 0;
}

bool RaceMarks::reload(Journal &journal, MessageSink &messages)
{
    Result<std::vector<RunnerMark>> read = journal.marks(*key_);
    if (!read.status.ok()) {
        say(read.status, messages);
        return false;
    }
    marks_ = std::move(read.value);
    return true;
}

void RaceMarks::say(const Status &status, MessageSink &messages)
{
    if (status.message() == said_)
        return;
    said_ = status.message();
    messages.message(said_);
}

}  // namespace marunoki
