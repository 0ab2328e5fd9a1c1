// Command lines that are not ones: exit status 2 and the usage text on stderr,
// before anything is read or loaded.

#include "cli_process.h"

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

TEST(CliUsage, RejectsBadCommandLinesWithStatusTwo)
{
    const QStringList load {QStringLiteral("load"), QStringLiteral("--site"), QStringLiteral("1")};
    struct Case {
        const char *label;
        QStringList args;
        const char *errorText;
    };
    const Case cases[] = {
        {"no command", {}, "no command"},
        {"unknown command", {QStringLiteral("fetch")}, "unknown command"},
        {"unknown option", load + QStringList {QStringLiteral("--colour")}, "unknown option --colour"},
        {"unknown global option", {QStringLiteral("--verbose"), QStringLiteral("load")}, "unknown option"},
        {"missing value", load + QStringList {QStringLiteral("--race")}, "--race needs a value"},
        {"bad site", {QStringLiteral("load"), QStringLiteral("--site"), QStringLiteral("3")},
            "bad value for --site"},
        {"bad number", load + QStringList {QStringLiteral("--meeting"), QStringLiteral("x1")},
            "bad value for --meeting"},
        {"zero", load + QStringList {QStringLiteral("--day"), QStringLiteral("0")}, "bad value for --day"},
        {"three digits", load + QStringList {QStringLiteral("--race"), QStringLiteral("112")},
            "bad value for --race"},
        {"short year", load + QStringList {QStringLiteral("--year"), QStringLiteral("26")},
            "bad value for --year"},
        {"unknown course", load + QStringList {QStringLiteral("--course"), QStringLiteral("大井")},
            "unknown course"},
        {"course code 11", load + QStringList {QStringLiteral("--course"), QStringLiteral("11")},
            "unknown course"},
        {"bad jobs", load + QStringList {QStringLiteral("--jobs"), QStringLiteral("0")},
            "bad value for --jobs"},
        {"bad timeout", load + QStringList {QStringLiteral("--timeout"), QStringLiteral("-1")},
            "bad value for --timeout"},
        {"stray argument", load + QStringList {QStringLiteral("extra")}, "unexpected argument"},
        {"import needs two", {QStringLiteral("import-mdb"), QStringLiteral("a")},
            "import-mdb needs SRC and DEST"},
        {"demo takes none", {QStringLiteral("demo"), QStringLiteral("x")}, "demo takes no arguments"},
    };
    for (const Case &c : cases) {
        const CliRun run = runCli(c.args);
        EXPECT_FALSE(run.crashed) << c.label;
        EXPECT_EQ(run.exitCode, 2) << c.label;
        EXPECT_TRUE(run.err.contains(c.errorText)) << c.label << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("usage:")) << c.label;
        EXPECT_TRUE(run.out.isEmpty()) << c.label;
    }
}

TEST(CliUsage, HelpGoesToStdoutWithStatusZero)
{
    const CliRun run = runCli({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("usage:"));
    EXPECT_TRUE(run.out.contains("import-mdb SRC DEST"));
}

}  // namespace
}  // namespace marunoki::test
