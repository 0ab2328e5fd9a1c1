// marunoki-cli: the load pipeline without the window. main only parses the
// command line and hands over to the command; every command returns the exit
// status.

#include "cli/cli_options.h"
#include "cli/commands.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    using namespace marunoki::cli;

    const ParseResult parsed = parseCommandLine(QCoreApplication::arguments().mid(1));
    if (!parsed.options) {
        const QByteArray text = "marunoki-cli: " + parsed.error.toUtf8() + "\n" + usageText().toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        return kExitUsage;
    }
    const Options &options = *parsed.options;
    switch (options.command) {
    case Command::Load:
        return loadCommand(options);
    case Command::Day:
        return dayCommand(options);
    case Command::ImportMdb:
        return importMdbCommand(options);
    case Command::Demo:
        return demoCommand();
    case Command::Help:
        break;
    }
    const QByteArray text = usageText().toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return kExitAnalysed;
}
