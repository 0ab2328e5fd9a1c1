// The command line as a script writer meets it: --help for the program and for
// every command, --version, and command lines that are not ones (exit status 2,
// one line in Japanese naming what is wrong, before anything is read or loaded).

#include "cli_process.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

QStringList args(std::initializer_list<const char *> words)
{
    QStringList list;
    for (const char *word : words)
        list.append(QString::fromUtf8(word));
    return list;
}

// The first stderr line with the option names, placeholders and command names
// taken out: what is left is the message's own language.
QString wordsOf(const QByteArray &err)
{
    QString line = QString::fromUtf8(err).section(u'\n', 0, 0);
    line.remove(QRegularExpression(QStringLiteral("marunoki-cli|-{1,2}[A-Za-z0-9-]+|\\b[A-Z]+\\b|"
                                                  "\\b(load|day|import-mdb|demo|backtest|fetch|extra)\\b")));
    return line;
}

TEST(CliUsage, RefusesBadCommandLinesWithStatusTwoAndNamesTheFault)
{
    const QStringList load
        = args({"load", "--course", "東京", "--meeting", "5", "--day", "9", "--race", "11"});
    // load with one of its options given another value instead (once: twice is a fault of its own).
    const auto with = [&load](const char *option, const char *value) {
        QStringList line = load;
        line[line.indexOf(QString::fromUtf8(option)) + 1] = QString::fromUtf8(value);
        return line;
    };
    struct Case {
        const char *label;
        QStringList args;
        const char *says;
    };
    const Case cases[] = {
        {"no command", {}, "コマンドがありません"},
        {"unknown command", args({"fetch"}), "コマンド fetch はありません"},
        {"unknown option", load + args({"--colour"}), "オプション --colour はありません"},
        {"unknown option, one dash", load + args({"-colour"}), "オプション -colour はありません"},
        {"unknown global option", args({"--verbose", "load"}), "オプション --verbose はありません"},
        {"option of another command", args({"day", "--race", "11"}), "--race"},
        {"missing value", load + args({"--jobs"}), "--jobs に値がありません"},
        {"empty value", args({"--app-dir=", "demo"}), "--app-dir に値がありません"},
        {"value that is an option", args({"load", "--race", "--offline", "x"}), "--race に値がありません"},
        {"value for a switch", load + args({"--csv=1"}), "--csv は値をとりません"},
        {"missing required options", args({"load", "--course", "05", "--day", "9"}), "--meeting, --race"},
        {"day without its year", args({"day", "--course", "東京", "--meeting", "5", "--day", "9"}), "--year"},
        {"bad site", load + args({"--site", "3"}), "--site の値 3"},
        {"bad number", with("--meeting", "x1"), "--meeting の値 x1"},
        {"zero", with("--day", "0"), "--day の値 0"},
        {"three digits", with("--race", "112"), "--race の値 112"},
        {"short year", load + args({"--year", "26"}), "--year の値 26"},
        {"unknown course", with("--course", "大井"), "--course の値 大井"},
        {"course code 11", with("--course", "11"), "--course の値 11"},
        {"bad jobs", load + args({"--jobs", "0"}), "--jobs の値 0"},
        {"negative timeout", load + args({"--timeout", "-1"}), "--timeout の値 -1"},
        {"bad race range",
            args({"day", "--year", "2026", "--course", "05", "--meeting", "5", "--day", "9", "--races",
                "5-3"}),
            "--races の値 5-3"},
        {"stray argument", load + args({"extra"}), "引数をとりません（extra）"},
        {"an option twice", load + args({"--race", "12"}), "--race が2回以上あります"},
        {"a switch twice", load + args({"--csv", "--csv"}), "--csv が2回以上あります"},
        {"app folder before and after the command",
            args({"--app-dir", "a"}) + load + args({"--app-dir", "b"}), "--app-dir が2回以上あります"},
        {"race 13: a day has 12", with("--race", "13"), "--race の値 13 は使えません（1〜12）"},
        {"a date no calendar has", args({"tally", "--from", "2026-13-01"}), "日付 2026-13-01 はありません"},
        {"import needs two", args({"import-mdb", "a"}), "SRC DEST が必要です"},
        {"demo takes none", args({"demo", "x"}), "引数をとりません"},
        {"backtest without its year", args({"backtest", "--site", "1"}), "--year"},
        {"backtest bad site", args({"backtest", "--site", "3", "--year", "2026"}), "--site は 1 か 2"},
        {"backtest meetings backwards",
            args({"backtest", "--site", "1", "--year", "2026", "--meetings", "3-1"}), "--meetings は"},
        {"backtest unknown course",
            args({"backtest", "--site", "1", "--year", "2026", "--courses", "東京,大井"}), "大井"},
        {"backtest range backwards",
            args({"backtest", "--site", "2", "--year", "2026", "--from", "2026-05-01", "--to", "2026-04-01"}),
            "--from が --to より後"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const CliRun run = runCli(c.args);
        EXPECT_FALSE(run.crashed);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.startsWith("marunoki-cli: ")) << run.err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.err).contains(QString::fromUtf8(c.says))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("使い方: marunoki-cli")) << run.err.toStdString();
        EXPECT_FALSE(wordsOf(run.err).contains(QRegularExpression(QStringLiteral("[a-z]{3,}"))))
            << wordsOf(run.err).toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

// What an outside check holds the program to: every option the README lists
// for load and day is in the command's help, and required ones say so.
TEST(CliUsage, EveryCommandHasItsHelpWithEveryOptionOnOneLine)
{
    const CliRun program = runCli(args({"--help"}));
    ASSERT_EQ(program.exitCode, 0);
    const QString programHelp = QString::fromUtf8(program.out);
    EXPECT_TRUE(programHelp.startsWith(QStringLiteral("使い方: marunoki-cli")));
    EXPECT_EQ(runCli(args({"-h"})).out, program.out);
    EXPECT_EQ(runCli(args({"help"})).out, program.out);

    const struct {
        const char *command;
        QStringList options;
        QStringList required;
    } commands[] = {
        {"load",
            args({"--app-dir DIR", "--site 1|2", "--year YYYY", "--course COURSE", "--meeting N", "--day N",
                "--race N", "--base1 URL", "--base2 URL", "--json FILE|-", "--csv", "--jobs N",
                "--timeout SECONDS", "--archive DIR", "--offline DIR", "--refresh", "--graphs-pdf FILE",
                "--table-pdf FILE", "--png DIR", "--views-json FILE", "--report DIR"}),
            args({"--course", "--meeting", "--day", "--race"})},
        {"day",
            args({"--app-dir DIR", "--site 1|2", "--year YYYY", "--course COURSE", "--meeting N", "--day N",
                "--races A-B", "--jobs N", "--report DIR", "--csv", "--json-dir DIR", "--base1 URL",
                "--base2 URL", "--timeout SECONDS", "--archive DIR", "--offline DIR", "--refresh"}),
            args({"--year", "--course", "--meeting", "--day"})},
        {"import-mdb", args({"--app-dir DIR"}), {}},
        // The value's own text, not its UTF-8 bytes read as Latin-1 ("è|ã").
        {"tally", args({"--surface 芝|ダ", "--by mean|best|mean90|popularity|mark"}), {}},
        {"demo", {}, {}},
    };
    for (const auto &c : commands) {
        SCOPED_TRACE(c.command);
        const QString name = QString::fromLatin1(c.command);
        EXPECT_TRUE(programHelp.contains(QRegularExpression(QStringLiteral("\n  %1 +\\S").arg(name))));
        for (const QStringList &asked : {QStringList {name, QStringLiteral("--help")},
                 QStringList {name, QStringLiteral("-h")}, QStringList {QStringLiteral("help"), name}}) {
            const CliRun run = runCli(asked);
            EXPECT_EQ(run.exitCode, 0) << asked.join(u' ').toStdString();
            EXPECT_TRUE(run.err.isEmpty());
            const QString help = QString::fromUtf8(run.out);
            EXPECT_TRUE(help.startsWith(QStringLiteral("使い方: marunoki-cli"))) << help.toStdString();
            EXPECT_TRUE(help.section(u'\n', 0, 0).contains(u' ' + name)) << help.toStdString();
            EXPECT_TRUE(help.contains(QStringLiteral("\n  -h, --help "))) << help.toStdString();
            for (const QString &option : c.options) {
                const QRegularExpression line(
                    QStringLiteral("\n  %1 +\\S[^\n]*\n").arg(QRegularExpression::escape(option)));
                const auto found = line.match(help);
                ASSERT_TRUE(found.hasMatch()) << option.toStdString() << "\n" << help.toStdString();
                const bool required = c.required.contains(option.section(u' ', 0, 0));
                EXPECT_EQ(found.captured().contains(QStringLiteral("（必須）")), required)
                    << option.toStdString();
            }
        }
    }
    // Defaults are shown where an option has one.
    const QString load = QString::fromUtf8(runCli(args({"load", "--help"})).out);
    EXPECT_TRUE(load.contains(QRegularExpression(QStringLiteral("--jobs N +[^\n]*（既定: 4）"))));
    EXPECT_TRUE(load.contains(QRegularExpression(QStringLiteral("--year YYYY +[^\n]*（既定: 今年）"))));
}

TEST(CliUsage, VersionIsOneLineWithTheProjectVersion)
{
    const CliRun run = runCli(args({"--version"}));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(run.out),
        QStringLiteral("marunoki-cli %1\n").arg(QStringLiteral(MARUNOKI_VERSION)));
    EXPECT_TRUE(run.err.isEmpty());
}

}  // namespace
}  // namespace marunoki::test
