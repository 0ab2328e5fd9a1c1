#pragma once
// The user's marks (◎ ○ ▲ △ ☆ ×) on the race the window shows: which key sets
// which mark, whether marking is possible now and why not, the mark of each
// runner and the rows of the 印 panel. The window only displays what this says
// and forwards keys, menus and clicks to it.
//
// NOTES ON THE DESIGN
// - Marks live in the journal of the application folder, keyed by race, runner
//   number and horse page address (journal.h). A race can be marked only while
//   it is shown as analysed (the last load went through) and the journal holds
//   it: a load that failed or was stopped leaves nothing to mark, and a race
//   the journal never recorded cannot be marked either.
// - A mark follows its horse: a runner's mark is the one set on its page
//   address, whatever number the horse had when it was set. A card that changed
//   (a horse now under another number, another horse under the old one) moves
//   no mark to another horse. Setting a mark on a horse that moved also clears
//   the row of its old number, so a horse never holds two marks.
// - ◎ ○ ▲ name one horse each (isSingleMark): the journal moves one set on a
//   second runner, and the note says from which runner it came.
// - The journal is opened for each read or write and closed again, as the loads
//   do, so another program can share it. A journal that cannot be opened, read
//   or written is said once through the message sink (the same cause is not
//   said again) and the window goes on; the load already said a failed record,
//   so that is not said twice.
// - The store is only read, and only while a race is shown (between
//   raceShown() and the next loadStarting()); during a load it belongs to the
//   worker and nothing here touches it.
// - Not thread-safe: the window's thread only.

#include "app/common.h"
#include "journal/journal.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace marunoki {

class MessageSink;
class RaceStore;
struct RaceSelection;

// One command of the 印 menu: set a mark, or clear it (no mark).
struct MarkCommand {
    int key = 0;  // the key that gives it (a Qt::Key: the digits 1..6 and 0)
    std::optional<Mark> mark;
    QString caption;  // the menu's text, "◎ 本命" .. "印を消す"
};

// The seven commands in menu order: ◎ ○ ▲ △ ☆ × on the keys 1 to 6, clear on 0.
const std::array<MarkCommand, kMarkCount + 1> &markCommands();
// The command of a key (a Qt::Key), or nothing for any other key.
std::optional<MarkCommand> markCommandOfKey(int key);

// Why marking is off, as the window says it.
inline const QString kMarksNotAnalysed = QStringLiteral("印は、読み込んで分析したレースに付けられます");
inline const QString kMarksJournalOff = QStringLiteral(
    "成績ジャーナルを使わない設定のため、印は付けられません（marunoki.ini の [journal] keep=0）");
inline const QString kMarksNotRecorded
    = QStringLiteral("このレースは成績ジャーナルに記録できなかったため、印は付けられません");

// One row of the 印 panel.
struct MarkRow {
    // The runner of the card that is this horse, 0 when the horse is no longer
    // on the card (then number and name are as the journal kept them).
    qint32 runner = 0;
    int number = 0;
    QString name;
    Mark mark = Mark::Honmei;
};

class RaceMarks {
public:
    // folder: where the journal lies; store: the window's race store.
    RaceMarks(const AppFolder &folder, const RaceStore &store);
    RaceMarks(const RaceMarks &) = delete;
    RaceMarks &operator=(const RaceMarks &) = delete;

    // A load begins: nothing is marked or shown until it has ended.
    void loadStarting();
    // A load ended. analysed: it went through to the analysis (the store holds
    // the race of selection); recordFailed: the load could not record the race
    // in the journal (it said why); keepJournal: the settings' [journal] keep.
    // Reads the race's marks; a journal that cannot be read is said through
    // messages and marking stays off.
    void raceShown(const RaceSelection &selection, bool analysed, bool recordFailed, bool keepJournal,
        MessageSink &messages);

    // Whether a mark can be set now.
    bool possible() const { return reason_.isEmpty(); }
    // Why not (empty when possible).
    const QString &offReason() const { return reason_; }

    // Sets (nothing: clears) the mark of runner, a runner of the shown race.
    // False, with nothing written, when marking is off (the note says why) or
    // runner is no runner; false after saying why when the journal could not
    // be written.
    bool setMark(qint32 runner, std::optional<Mark> mark, MessageSink &messages);
    // One short line for the status bar on the last setMark: why nothing was
    // set, or which runner a ◎ ○ ▲ was taken from; empty otherwise.
    const QString &note() const { return note_; }

    // The mark of runner (nothing when it has none or nothing is shown).
    std::optional<Mark> markOf(qint32 runner) const;
    // The 印 panel: the race's marked horses in mark order, then by number.
    std::vector<MarkRow> rows() const;

private:
    // The runner whose page is the mark's horse; 0 when none is.
    qint32 runnerOf(const RunnerMark &mark) const;
    // Reads the marks again; false after saying why.
    bool reload(Journal &journal, MessageSink &messages);
    // Says a journal failure, once per cause.
    void say(const Status &status, MessageSink &messages);

    QString path_;
    const RaceStore &store_;
    std::optional<RaceKey> key_;
    QString reason_ = kMarksNotAnalysed;
    std::vector<RunnerMark> marks_;
    QString said_;
    QString note_;
};

}  // namespace marunoki
