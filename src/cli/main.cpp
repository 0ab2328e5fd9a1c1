// marunoki-cli: the load pipeline without the window. main only parses the
// command line against the table of commands and hands over to the command;
// every command returns the exit status.

#include "cli/cli_options.h"
#include "cli/commands.h"

#include "app/app_folder_rule.h"
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

    const std::vector<CommandSpec> &table = commandTable();
    // Read from argv (what Qt left of it) rather than arguments(), which would
    // turn the bytes of a file name that are not UTF-8 into U+FFFD: the file
    // would be written under another name.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << marunoki::fileNameFromBytes(QByteArrayView(argv[i]));
    const ParseResult parsed = parseCommandLine(arguments, table);
    const auto print = [](const QString &text) {
        const QByteArray bytes = text.toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    };
    switch (parsed.outcome) {
    case ParseResult::Outcome::Error:
        return usageError(parsed.line.command, parsed.error);
    case ParseResult::Outcome::Help:
        print(helpText(table, parsed.line.command));
        return kExitAnalysed;
    case ParseResult::Outcome::Version:
        print(QStringLiteral("marunoki-cli " MARUNOKI_VERSION "\n"));
        return kExitAnalysed;
    case ParseResult::Outcome::Run:
        break;
    }
    // Every command reads the application folder through Qt, which cannot
    // name it: say so rather than call an existing folder missing.
    if (marunoki::hasKeptBytes(parsed.line.appDir))
        return usageError(parsed.line.command,
            QStringLiteral("アプリケーションフォルダ %1 の名前は UTF-8 ではありません（読めるのは UTF-8 "
                           "の名前のフォルダです）")
                .arg(marunoki::shownFileName(parsed.line.appDir)));
    // A command that works in the application folder needs one to be known.
    const CommandLine &line = parsed.line;
    if (line.command->usesAppDir
        && marunoki::chooseAppFolder(marunoki::systemAppFolderPlaces(line.appDir)).source
            == marunoki::AppFolderSource::None)
        return usageError(line.command, marunoki::noAppFolderMessage());
    return parsed.line.command->run(parsed.line);
}
