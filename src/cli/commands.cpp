#include "cli/commands.h"
#include "cli/load_command.h"

#include "app/app_folder_rule.h"
#include "maintenance/first_start.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace marunoki::cli {

const std::vector<CommandSpec> &commandTable()
{
    static const std::vector<CommandSpec> table {
        loadCommand(),
        dayCommand(),
        importMdbCommand(),
        resultsCommand(),
        tallyCommand(),
        markCommand(),
        marksCommand(),
        backtestCommand(),
        demoCommand(),
    };
    return table;
}

AppFolder appFolderOf(const CommandLine &line)
{
    return chooseAppFolder(systemAppFolderPlaces(line.appDir)).folder;
}

std::optional<AppFolder> appFolderFor(const CommandLine &line, int &status)
{
    const AppFolderChoice choice = chooseAppFolder(systemAppFolderPlaces(line.appDir));
    if (choice.source == AppFolderSource::UserFolder) {
        if (const Status made = prepareUserFolder(choice.folder); !made.ok()) {
            complain(made.message());
            status = kExitFailed;
            return std::nullopt;
        }
    }
    if (QFileInfo(choice.folder.path()).isDir() && trackDatabaseMissing(choice.folder)) {
        complain(missingTrackDatabaseText(choice.folder,
            findSampleFolder(
                QCoreApplication::applicationDirPath(), QString::fromUtf8(MARUNOKI_SAMPLES_DIR))));
        status = kExitStopped;
        return std::nullopt;
    }
    return choice.folder;
}

}  // namespace marunoki::cli
