// marunoki-cli: the load pipeline without the window. main only parses the
// command line and hands over to the command; every command returns the exit
// status.

#include "cli/cli_options.h"
#include "cli/commands.h"

#include "app/file_name.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    // The views are drawn and printed to files (fonts, PDF, pictures), which
    // needs a GUI application; the command line never opens a window, so it
    // runs on the off-screen platform whatever the environment says and works
    // without a display.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    // Qt's start-up remarks about the desktop session it does not need (no
    // runtime folder on a server) would only clutter stderr, which carries the
    // program's own messages; Qt's later warnings are shown as usual.
    const QtMessageHandler usual
        = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QGuiApplication app(argc, argv);
    qInstallMessageHandler(usual);
    using namespace marunoki::cli;

    // Read from argv (what Qt left of it) rather than arguments(), which would
    // turn the bytes of a file name that are not UTF-8 into U+FFFD: the file
    // would be written under another name.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << marunoki::fileNameFromBytes(QByteArrayView(argv[i]));
    const ParseResult parsed = parseCommandLine(arguments);
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
