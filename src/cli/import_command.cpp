#include "cli/commands.h"
#include "cli/interrupt_stop.h"
#include "cli/load_command.h"

#include "db/mdb_import.h"

namespace marunoki::cli {

int importMdbCommand(const Options &options)
{
    // The application folder plays no part: both files are named. Ctrl-C (or
    // SIGTERM) ends the child and removes its temporary.
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
