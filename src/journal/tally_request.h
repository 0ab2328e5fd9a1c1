#pragma once
// The tally as a user asks for it: a TallyFilter and the tables to show (the
// command line parses its options into one, cli/tally_options.h; the window
// builds one from its form), and the tally of the journal file.
//
// Both programs go through tallyOfJournal, so the same filter gives the same
// numbers in the window and on the command line.

#include "journal/journal.h"
#include "journal/tally.h"

#include <QString>

#include <optional>
#include <vector>

namespace marunoki {

// The options as a filter and the tables to show.
// A default request is every race, with the tables of every key.
struct TallyRequest {
    TallyFilter filter;
    TallyLayout layout;  // the tables, the group; the preferred site is the caller's to set
    QString description;  // the filter in words; empty for every race
};
// The filter in words ("2026-01-01 〜 、サイト1、東京、芝、1200〜1800m"); empty for every race.
QString describeFilter(const TallyFilter &filter);

// The name of a course code ("05" -> 東京); the code itself when it is none.
QString courseNameOfCode(const QString &code);

// Opens the journal at path for reading: a missing file is not made (nothing
// has been recorded yet) but said in the status, as any journal that will not open.
Journal::Opened openExistingJournal(const QString &path);

// The date of the latest race in the journal at path; nothing when there is
// none or the journal will not open (the caller then starts from today).
[[nodiscard]] std::optional<QDate> latestRaceDateOf(const QString &path);

// The tally of the journal at path for the request, naming the request's filter.
Result<Tally> tallyOfJournal(const QString &path, const TallyRequest &request);

}  // namespace marunoki
