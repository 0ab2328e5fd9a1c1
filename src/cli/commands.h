#pragma once
// The commands of marunoki-cli. Each returns the process exit status.

#include "cli/cli_options.h"

namespace marunoki::cli {

// Exit statuses.
constexpr int kExitAnalysed = 0;  // the load reached the analysis (or the command succeeded)
constexpr int kExitFailed = 1;  // an output file or an import could not be written
constexpr int kExitUsage = 2;  // the command line is not one
constexpr int kExitStopped = 3;  // the load stopped at a message

// load: one race, optionally written as JSON and CSV.
int loadCommand(const Options &options);
// day: the races of one meeting day, each written as the options ask, and the
// day's report; 0 when at least one race was analysed.
int dayCommand(const Options &options);
// import-mdb SRC DEST: an Access file copied into a SQLite file.
int importMdbCommand(const Options &options);
// results: the pending results of the journal filled from the runners' pages;
// 0 when it ran (pages that failed are listed, their results stay pending).
int resultsCommand(const Options &options);
// tally: the journal's tally as text tables, and as CSV or HTML when asked.
int tallyCommand(const Options &options);
// demo: the bundled sample race, loaded offline into a temporary application folder.
int demoCommand();

}  // namespace marunoki::cli
