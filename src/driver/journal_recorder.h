#pragma once
// The journal as the loads use it: every race that goes through the analysis
// (a load, a race of a day, the desktop's load) is recorded in the journal of
// the application folder, and the pending results its runners' pages show are
// filled in, in the same step.
//
// The journal is opened for each race and closed again, so nothing is held
// open between loads and another program can migrate or share the file. A
// journal that cannot be opened or written is said once per recorder (the
// same cause is not repeated race after race); the load itself goes on. A
// journal whose lock another program held past the wait is given up for the
// rest of the recorder's run (a day's races), so the wait is paid once.
// Thread-safe.

#include "app/common.h"
#include "journal/journal.h"

#include <QString>

#include <mutex>

namespace marunoki {

class MessageSink;
class RaceStore;
struct RaceSelection;

class JournalRecorder {
public:
    // keep: the settings' [journal] keep, or false for one run (--no-journal).
    JournalRecorder(const AppFolder &folder, bool keep);
    JournalRecorder(const JournalRecorder &) = delete;
    JournalRecorder &operator=(const JournalRecorder &) = delete;

    // Records the analysed race in the store. A race without a site, a date or
    // a complete selection is not recorded (nothing to key it by). Returns false
    // (after saying why, once) when the journal could not be written.
    bool record(const RaceSelection &selection, const RaceStore &store, float share, const QString &siteBase,
        MessageSink &messages);

    // Whether some race could not be recorded.
    bool failed() const;

    const QString &path() const { return path_; }

private:
    QString path_;
    bool keep_;
    mutable std::mutex mutex_;
    bool failed_ = false;
    bool givenUp_ = false;  // the lock stayed taken: nothing more is recorded
    QString reported_;
};

// The key of the race of a complete selection whose card gave the date;
// nothing otherwise.
std::optional<RaceKey> raceKeyOf(const RaceSelection &selection, const RaceStore &store);

// The journal's marks of the race in the store, for what is written after its
// load: each runner's mark as the window shows it (race_marks.h: a mark follows
// its horse's page, so a card changed since never shows it on another horse).
// Empty with keep off (no journal kept, --no-journal), without a journal file,
// or when the journal cannot be read: nothing written fails for want of marks.
MarksByNumber recordedMarks(
    const AppFolder &folder, bool keep, const RaceSelection &selection, const RaceStore &store);

// The journal's results of the race in the store, by horse number, for a report
// written once the race was run: empty, as for the marks, without a journal,
// with keep off, when it cannot be read, or before the results are in.
ResultsByNumber recordedResults(
    const AppFolder &folder, bool keep, const RaceSelection &selection, const RaceStore &store);

}  // namespace marunoki
