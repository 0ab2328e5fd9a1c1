// The manual page marunoki-cli(1), written at build time from the program's own
// help, against that help: every command, every option with its text, and the
// version.

#include "cli_process.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

QString troff(QString text)
{
    return text.replace(u'-', QStringLiteral("\\-"));
}

TEST(CliManPage, SaysWhatTheHelpSaysForEveryCommand)
{
    QFile file(QStringLiteral(MARUNOKI_MAN_DIR "/marunoki-cli.1"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QString page = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(
        page.startsWith(QStringLiteral(".TH MARUNOKI-CLI 1 \"\" \"marunoki-cli %1\"").arg(MARUNOKI_VERSION)));

    const QString help = QString::fromUtf8(runCli({QStringLiteral("--help")}).out);
    QStringList commands;
    const QString list = help.section(QStringLiteral("コマンド:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    for (const QString &line : list.split(u'\n'))
        commands.append(line.trimmed().section(u' ', 0, 0));
    for (const char *command : {"load", "day", "import-mdb", "demo"})
        EXPECT_TRUE(commands.contains(QString::fromLatin1(command))) << command;

    static const QRegularExpression optionLine(QStringLiteral("^  (-\\S.*?)  +(\\S.*)$"));
    int options = 0;
    for (const QString &command : commands) {
        SCOPED_TRACE(command.toStdString());
        EXPECT_TRUE(page.contains(QStringLiteral("\n.SH \"%1\"\n").arg(command)));
        const QString commandHelp = QString::fromUtf8(runCli({command, QStringLiteral("--help")}).out);
        const QString section = page.section(QStringLiteral("\n.SH \"%1\"\n").arg(command), 1)
                                    .section(QStringLiteral("\n.SH "), 0, 0)
            + u'\n';
        for (const QString &line : commandHelp.split(u'\n')) {
            const auto match = optionLine.match(line);
            if (!match.hasMatch())
                continue;
            ++options;
            EXPECT_TRUE(section.contains(
                QStringLiteral(".TP\n.B %1\n%2\n").arg(troff(match.captured(1)), match.captured(2))))
                << line.toStdString();
        }
    }
    EXPECT_GT(options, 40);  // load's and day's options are all there
}

// Both manual pages end their description with examples, kept line for line.
TEST(CliManPage, BothPagesHaveExamples)
{
#ifdef MARUNOKI_DESKTOP_BUILT
    const bool desktop = true;
#else
    const bool desktop = false;
#endif
    for (const char *name : {"marunoki-cli", "marunoki"}) {
        if (!desktop && QLatin1String(name) == QLatin1String("marunoki"))
            continue;  // a build without the desktop program has no page for it
        QFile file(QStringLiteral(MARUNOKI_MAN_DIR "/%1.1").arg(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QString examples
            = QString::fromUtf8(file.readAll()).section(QStringLiteral("\n.SH EXAMPLES\n.nf\n"), 1);
        EXPECT_TRUE(examples.startsWith(QStringLiteral("%1").arg(troff(QString::fromLatin1(name)))))
            << name << ": " << examples.toStdString();
        EXPECT_TRUE(
            examples.section(QStringLiteral("\n.fi\n"), 0, 0).contains(QStringLiteral(" \\-\\-app\\-dir ")))
            << examples.toStdString();
    }
}

}  // namespace
}  // namespace marunoki::test
