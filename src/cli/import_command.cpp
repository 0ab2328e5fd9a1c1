#include "cli/commands.h"
#include "cli/load_command.h"

#include "db/mdb_import.h"

namespace marunoki::cli {

int importMdbCommand(const Options &options)
{
    // The application folder plays no part: both files are named.
    const Status status = importMdb(options.importSource, options.importDest);
    if (!status.ok()) {
        complain(status.message());
        return kExitFailed;
    }
    return kExitAnalysed;
}

}  // namespace marunoki::cli
