#include "cli/commands.h"
#include "cli/interrupt_stop.h"
#include "cli/load_command.h"

#include "app/output_target.h"
#include "db/mdb_import.h"

namespace marunoki::cli {

int importMdbCommand(const Options &options)
{
    // Both files are named; the application folder only keeps its own files
    // from being the destination. Ctrl-C (or SIGTERM) ends the child and
    // removes its temporary.
    const AppFolder folder = options.appDir.isEmpty() ? AppFolder::ofExecutable() : AppFolder(options.appDir);
    if (const Status allowed = checkOutputTarget(folder, options.importDest); !allowed.ok()) {
        complain(allowed.message());
        return kExitUsage;
    }
    std::atomic<qint16> stop {0};
    Status status = Status::success();
    {
        const InterruptStop stopOnCtrlC(stop);
        status = importMdb(
            options.importSource, options.importDest, kImportTimeLimitSeconds, systemFileSystem(), &stop);
    }
    if (!status.ok()) {
        complain(status.message());
        return stop.load() == -1 ? kExitStopped : kExitFailed;
    }
    return kExitAnalysed;
}

}  // namespace marunoki::cli
