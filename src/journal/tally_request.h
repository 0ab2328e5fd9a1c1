#pragma once
// The tally as a user asks for it, whether typed on the command line or chosen
// in the window: the filter's values as texts, checked and turned into a
// TallyFilter and the tables to show, and the tally of the journal file.
//
// Both programs go through parseTallyRequest and tallyOfJournal, so the same
// filter gives the same numbers in the window and on the command line.

#include "journal/journal.h"
#include "journal/tally.h"

#include <QString>

#include <optional>
#include <vector>

namespace marunoki {

// The filter's values as typed; an empty text does not filter.
struct TallyOptions {
    QString from, to;  // YYYY-MM-DD
    QString site;  // "1" or "2"
    QString course;  // a course name (東京) or its code (05)
    QString surface;  // 芝 or ダ
    QString distance, runners;  // "A-B" or "A"
    QString by;  // mean, best, mean90, popularity, mark
    QString group;  // course, surface, distance, month, field
};

// The options as a filter and the tables to show.
struct TallyRequest {
    TallyFilter filter;
    TallyLayout layout;  // the tables, the group; the preferred site is the caller's to set
    QString description;  // the filter in words; empty for every race
};
// The request of the options, or a failure naming the first option that is not one.
Result<TallyRequest> parseTallyRequest(const TallyOptions &options);

// The filter in words ("2026-01-01 〜 、サイト1、東京、芝、1200〜1800m"); empty for every race.
QString describeFilter(const TallyFilter &filter);

// A date option (named in the error) as YYYY-MM-DD; an empty text leaves date
// as it is. False with error set when the text is no such date.
bool readDateOption(const QString &option, const QString &text, std::optional<QDate> &date, QString &error);

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
