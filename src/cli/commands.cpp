#include "cli/commands.h"

namespace marunoki::cli {

const std::vector<CommandSpec> &commandTable()
{
    static const std::vector<CommandSpec> table {
        loadCommand(),
        dayCommand(),
        importMdbCommand(),
        resultsCommand(),
        tallyCommand(),
        demoCommand(),
    };
    return table;
}

AppFolder appFolderOf(const CommandLine &line)
{
    return line.appDir.isEmpty() ? AppFolder::ofExecutable() : AppFolder(line.appDir);
}

}  // namespace marunoki::cli
