#pragma once
// The commands of marunoki-cli: one table, each entry a command's name, its
// options and the function that runs it (see cli_options.h).
//
// To add a command: write a function returning its CommandSpec in the
// command's own file (options with their help and defaults, `run` taking the
// checked CommandLine and returning the exit status), declare it below and add
// it to commandTable() in commands.cpp. The help, the usage errors, the man
// page and the bash completion all follow from the table.

#include "cli/cli_options.h"

#include "app/common.h"

#include <optional>
#include <vector>

namespace marunoki::cli {

// load: one race, optionally written as JSON, CSV and the views.
CommandSpec loadCommand();
// day: the races of one meeting day, each written as the options ask, and the
// day's report; 0 when at least one race was analysed, 4 when one of the races
// analysed is incomplete.
CommandSpec dayCommand();
// import-mdb SRC DEST: an Access file copied into a SQLite file.
CommandSpec importMdbCommand();
// results: the journal's pending results filled from the runners' pages.
CommandSpec resultsCommand();
// tally: how the figures did, from the journal, as text (and CSV, HTML).
CommandSpec tallyCommand();
// mark: one runner's mark in the journal set or cleared.
CommandSpec markCommand();
// marks: the journal's marks written to or read from a CSV file; 4 when some
// rows of an import could not be placed.
CommandSpec marksCommand();
// backtest: a past season replayed into the journal, then its tally; 4 when
// some races are incomplete or were not read, 3 when none was analysed.
CommandSpec backtestCommand();
// demo: the bundled sample race, loaded offline into a temporary application folder.
CommandSpec demoCommand();

// Every command, in the order the help lists them.
const std::vector<CommandSpec> &commandTable();

// The application folder of a command line, by the folder rule; nothing is made
// or checked.
AppFolder appFolderOf(const CommandLine &line);

// The application folder of a command that reads it (load, day), chosen once by
// the folder rule (app/app_folder_rule.h). A first start in the per-user folder
// makes it, with default settings. Nothing, after saying why, when that folder
// cannot be made (status kExitFailed) or the folder has no track database (the
// file and where it belongs are named; status kExitStopped). A folder named by
// the user that does not exist is left to the settings check, which reports it.
std::optional<AppFolder> appFolderFor(const CommandLine &line, int &status);

}  // namespace marunoki::cli
