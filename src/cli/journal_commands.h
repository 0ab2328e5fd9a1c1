#pragma once
// The journal's commands as the command line runs them, for the demo to call
// in-process: the tally printed and written, the pending results filled.

#include "cli/cli_options.h"
#include "cli/race_options.h"
#include "cli/tally_options.h"

#include "app/common.h"
#include "journal/tally_request.h"

#include <QString>

namespace marunoki::cli {

// The journal commands' own values as typed (the commands check them): the
// tally's filters and the table asked for, the races of results, the tally's files.
struct JournalOptions : TallyOptions {
    // results: the races from since to until (YYYY-MM-DD; empty = no bound)
    QString since, until;
    // tally: the files
    QString csvPath, htmlDir;
};

// What the journal's commands share: a line on stdout, and a failure said
// (returns the exit status).
void printLine(const QString &text);
int openFailure(const Status &status);

// tally on the journal of folder; the exit status.
int runTally(const AppFolder &folder, const JournalOptions &options);
// results on the journal of folder with the page options of load; the exit status.
int runResults(const AppFolder &folder, const LoadOptions &load, const JournalOptions &options);

}  // namespace marunoki::cli
