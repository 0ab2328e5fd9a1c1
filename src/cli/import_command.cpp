#include "cli/commands.h"
#include "cli/load_command.h"

#include "db/mdb_import.h"

namespace marunoki::cli {

int importMdbCommand(const Options &options)
{
    // The application folder plays no part: both files are named.
    const ImportStatus status = importMdb(options.importSource, options.importDest);
    if (!status.ok) {
        complain(status.error);
        return kExitFailed;
    }
    return kExitAnalysed;
}

}  // namespace marunoki::cli
