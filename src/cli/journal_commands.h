#pragma once
// The journal's commands as the command line runs them, for the demo to call
// in-process: the tally's options checked and turned into a filter, the tally
// printed and written, the pending results filled.

#include "cli/cli_options.h"
#include "cli/race_options.h"

#include "app/common.h"
#include "journal/tally.h"

#include <QString>

#include <optional>
#include <vector>

namespace marunoki::cli {

// The journal commands' own values as typed (the commands check them).
struct JournalOptions {
    // results: the races from since to until (YYYY-MM-DD; empty = no bound)
    QString since, until;
    // tally: the filters, the table asked for, the files
    QString from, to, site, course, surface, distance, runners, by;
    QString csvPath, htmlDir;
};

// The tally's options as a filter and the tables to print; error names the
// first option that is not one (then the rest is not filled).
struct TallyRequest {
    TallyFilter filter;
    std::vector<TallyKey> keys;
    QString description;  // the filter in words, for the printout and the HTML page
    QString error;
};
TallyRequest parseTallyRequest(const JournalOptions &options);

// What the journal's commands share: a line on stdout, a failure said (the exit status), and the journal of
// folder missing (said; the exit status) or not.
void printLine(const QString &text);
int openFailure(const Status &status);
std::optional<int> refuseMissingJournal(const AppFolder &folder);

// tally on the journal of folder; the exit status.
int runTally(const AppFolder &folder, const JournalOptions &options);
// results on the journal of folder with the page options of load; the exit status.
int runResults(const AppFolder &folder, const LoadOptions &load, const JournalOptions &options);

}  // namespace marunoki::cli
