#include "cli/commands.h"
#include "cli/interrupt_stop.h"
#include "cli/load_command.h"

#include "app/output_target.h"
#include "db/mdb_import.h"

namespace marunoki::cli {

namespace {

int runImport(const CommandLine &line)
{
    // Both files are named; the application folder in force (--app-dir,
    // MARUNOKI_APP_DIR or the folder rule's choice) only keeps its own files
    // from being the destination. Ctrl-C (or SIGTERM) ends the child and
    // removes its temporary.
    const QString &source = line.arguments[0];
    const QString &destination = line.arguments[1];
    if (const Status allowed = checkOutputTarget(appFolderOf(line), destination); !allowed.ok()) {
        complain(allowed.message());
        return kExitUsage;
    }
    std::atomic<qint16> stop {0};
    Status status = Status::success();
    {
        const InterruptStop stopOnCtrlC(stop);
        status = importMdb(source, destination, kImportTimeLimitSeconds, systemFileSystem(), &stop);
    }
    if (!status.ok()) {
        complain(status.message());
        return stop.load() == -1 ? kExitStopped : kExitFailed;
    }
    return kExitAnalysed;
}

}  // namespace

CommandSpec importMdbCommand()
{
    return {QStringLiteral("import-mdb"),
        QStringLiteral("Access のデータベース SRC を SQLite のファイル DEST に移す"), {},
        QStringLiteral("SRC DEST"), 2, true, {}, &runImport};
}

}  // namespace marunoki::cli
