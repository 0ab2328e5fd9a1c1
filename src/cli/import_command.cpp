#include "cli/commands.h"
#include "cli/load_command.h"

#include "db/mdb_import.h"

namespace marunoki::cli {

namespace {

int runImport(const CommandLine &line)
{
    // The application folder plays no part: both files are named.
    const Status status = importMdb(line.arguments[0], line.arguments[1]);
    if (!status.ok()) {
        complain(status.message());
        return kExitFailed;
    }
    return kExitAnalysed;
}

}  // namespace

CommandSpec importMdbCommand()
{
    return {QStringLiteral("import-mdb"),
        QStringLiteral("Access のデータベース SRC を SQLite のファイル DEST に移す"), {},
        QStringLiteral("SRC DEST"), 2, false, {}, &runImport};
}

}  // namespace marunoki::cli
