#pragma once
// The load as the command line runs it: settings from the application folder,
// the page source the options ask for, the load driver, then the outputs.

#include "cli/race_options.h"

#include "app/atomic_file.h"
#include "app/common.h"
#include "driver/page_sources.h"
#include "settings/settings.h"

#include <memory>
#include <optional>

namespace marunoki {
class RaceStore;
}

namespace marunoki::cli {

class Console;

// The page sources the options ask for: the network behind the page cache
// (with --archive, every page also kept in that folder), or the --offline
// folder alone.
PageSources makeSources(const LoadOptions &load, const AppFolder &folder, const Settings &settings,
    Console &console, const FileSystem &files = systemFileSystem());

// The site of --site 1|2, or the settings' site without it.
ReadingSite siteOf(const LoadOptions &load, const Settings &settings);

// The settings of the folder with the options' base addresses in place; nothing
// (after saying why) when the folder is missing, the settings read stopped at a
// value it could not use, or its site setting names no site.
std::optional<Settings> settingsFor(const LoadOptions &load, const AppFolder &folder, Console &console);

// Whether the options can load from site (None for no address check): an address for the site, an offline
// folder that exists, an archive folder that can be made, and no output on the application folder's own
// files (output_target.h). The exit status when not, after saying why.
std::optional<int> checkSources(
    const LoadOptions &load, ReadingSite site, const Settings &settings, const AppFolder &folder);

// Loads the race of `load` into store with the settings of folder, and writes
// the JSON and CSV outputs the options ask for. Returns the exit status
// (kExitAnalysed, kExitStopped, kExitUsage for an unusable option value or
// settings file, kExitFailed when an output or an archived page could not be
// written, else kExitIncomplete when the race was analysed with something
// missing: the store's gaps). Every file it writes (the
// outputs, the archived pages) goes through `files`.
int runLoadCommand(const LoadOptions &load, const AppFolder &folder, RaceStore &store, Console &console,
    const FileSystem &files = systemFileSystem());

// Writes bytes to a file atomically, or to stdout for "-". On failure says why
// on stderr and returns false; the file is then as it was.
bool writeOutput(const QString &path, const QByteArray &bytes, const FileSystem &files = systemFileSystem());

// Prints "marunoki-cli: <text>" on stderr.
void complain(const QString &text);

}  // namespace marunoki::cli
