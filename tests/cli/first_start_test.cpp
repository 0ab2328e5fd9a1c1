// A first start of an installed program: an empty home folder, no settings and
// no track database anywhere the program looks.

#include "cli_process.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

const QString kSamples = sourceFile(QStringLiteral("samples"));

QStringList sampleLoad()
{
    return {QStringLiteral("load"), QStringLiteral("--site"), QStringLiteral("1"), QStringLiteral("--year"),
        QStringLiteral("2026"), QStringLiteral("--course"), QStringLiteral("東京"),
        QStringLiteral("--meeting"), QStringLiteral("5"), QStringLiteral("--day"), QStringLiteral("9"),
        QStringLiteral("--race"), QStringLiteral("11"), QStringLiteral("--offline"),
        kSamples + QStringLiteral("/site1"), QStringLiteral("--base1"),
        QStringLiteral("https://site1.example")};
}

TEST(CliFirstStart, MakesTheUserFolderAndNamesTheMissingTrackDatabase)
{
    TestFolder home;
    const QString user = home.file(QStringLiteral(".local/share/marunoki/"));
    const CliRun first = runCliAt(home.path(), sampleLoad(), home.path());
    EXPECT_EQ(first.exitCode, 3) << first.err.toStdString();
    EXPECT_TRUE(QFileInfo(user + QStringLiteral("marunoki.ini")).isFile());
    const QString said = QString::fromUtf8(first.err);
    EXPECT_TRUE(said.contains(QStringLiteral("marunoki.dat がありません"))) << said.toStdString();
    EXPECT_TRUE(said.contains(user)) << said.toStdString();
    EXPECT_EQ(said.count(u'\n'), 1) << said.toStdString();  // one line, before any page is read

    // With the track database where it said, the same command loads the race.
    ASSERT_TRUE(
        QFile::copy(kSamples + QStringLiteral("/marunoki.dat"), user + QStringLiteral("marunoki.dat")));
    const CliRun second
        = runCliAt(home.path(), sampleLoad() + QStringList {QStringLiteral("--csv")}, home.path());
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(user + QStringLiteral("2611290.csv")));
}

TEST(CliFirstStart, TheEnvironmentChoosesTheFolderBeforeTheUserFolder)
{
    TestFolder home, chosen, data;
    chosen.copyIn(kSamples + QStringLiteral("/marunoki.dat"), QStringLiteral("marunoki.dat"));
    const CliRun run = runCliAt(home.path(), sampleLoad() + QStringList {QStringLiteral("--csv")},
        home.path(), {{QStringLiteral("MARUNOKI_APP_DIR"), chosen.path()}});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(chosen.file(QStringLiteral("2611290.csv"))));
    EXPECT_FALSE(QFileInfo::exists(home.file(QStringLiteral(".local"))));

    // XDG_DATA_HOME moves the user folder.
    const CliRun moved
        = runCliAt(home.path(), sampleLoad(), home.path(), {{QStringLiteral("XDG_DATA_HOME"), data.path()}});
    EXPECT_EQ(moved.exitCode, 3);
    EXPECT_TRUE(QFileInfo(data.file(QStringLiteral("marunoki/marunoki.ini"))).isFile());
    EXPECT_TRUE(QString::fromUtf8(moved.err).contains(data.file(QStringLiteral("marunoki/"))))
        << moved.err.toStdString();
}

// A service or a cron job may run without HOME: no folder is guessed, the
// usage error says what to set. A relative XDG_DATA_HOME counts as not set.
TEST(CliFirstStart, WithoutAHomeTheUserIsToldWhatToSet)
{
    const QString home = QStringLiteral("HOME");
    const QString xdg = QStringLiteral("XDG_DATA_HOME");
    const QString relative = QStringLiteral("data");
    const struct {
        const char *label;
        QMap<QString, QString> environment;  // besides HOME set to the test's home
        int exit;
        const char *made;  // the application folder made, under the test's home; null = none
    } cases[] = {
        {"no HOME", {{home, QString()}}, 2, nullptr},
        {"no HOME, a relative XDG_DATA_HOME", {{home, QString()}, {xdg, relative}}, 2, nullptr},
        {"HOME, a relative XDG_DATA_HOME", {{xdg, relative}}, 3, ".local/share/marunoki/marunoki.ini"},
        {"no HOME, an absolute XDG_DATA_HOME", {{home, QString()}, {xdg, QStringLiteral("ABS")}}, 3,
            "abs/marunoki/marunoki.ini"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        TestFolder folder;
        QMap<QString, QString> environment = c.environment;
        if (environment.value(xdg) == QStringLiteral("ABS"))
            environment[xdg] = folder.file(QStringLiteral("abs"));
        const CliRun run = runCliAt(folder.path(), sampleLoad(), folder.path(), environment);
        EXPECT_EQ(run.exitCode, c.exit) << run.err.toStdString();
        const QString said = QString::fromUtf8(run.err);
        EXPECT_EQ(said.contains(QStringLiteral("HOME が設定されていません")), c.exit == 2)
            << said.toStdString();
        if (c.exit == 2) {
            for (const char *named : {"--app-dir", "MARUNOKI_APP_DIR", "XDG_DATA_HOME"})
                EXPECT_TRUE(said.contains(QLatin1String(named))) << named;
        }
        EXPECT_FALSE(QFileInfo::exists(folder.file(relative)));
        if (c.made != nullptr)
            EXPECT_TRUE(QFileInfo(folder.file(QString::fromLatin1(c.made))).isFile());
        else
            EXPECT_TRUE(QDir(folder.path()).isEmpty());
    }
    // Every command that reads races stops the same way in a new folder without
    // its track database, before it asks for a page.
    for (const QStringList &args :
        {QStringList {QStringLiteral("backtest"), QStringLiteral("--site"), QStringLiteral("1"),
             QStringLiteral("--year"), QStringLiteral("2026")},
            QStringList {QStringLiteral("day"), QStringLiteral("--year"), QStringLiteral("2026"),
                QStringLiteral("--course"), QStringLiteral("東京"), QStringLiteral("--meeting"),
                QStringLiteral("5"), QStringLiteral("--day"), QStringLiteral("9")}}) {
        TestFolder fresh;
        const CliRun run = runCliAt(fresh.path(), args, fresh.path(), {{xdg, relative}});
        EXPECT_EQ(run.exitCode, 3) << args.first().toStdString() << run.err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.err).contains(QStringLiteral("marunoki.dat")))
            << run.err.toStdString();
    }
    // The folder named outright needs no HOME.
    TestFolder chosen;
    chosen.copyIn(kSamples + QStringLiteral("/marunoki.dat"), QStringLiteral("marunoki.dat"));
    const CliRun run = runCliAt(chosen.path(), sampleLoad(), chosen.path(),
        {{home, QString()}, {QStringLiteral("MARUNOKI_APP_DIR"), chosen.path()}});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
}

TEST(CliFirstStart, VersionAndHelpWriteNothing)
{
    TestFolder home;
    for (const char *option : {"--version", "--help"}) {
        const CliRun run = runCliAt(home.path(), {QString::fromLatin1(option)}, home.path());
        EXPECT_EQ(run.exitCode, 0) << option;
    }
    EXPECT_TRUE(QDir(home.path()).isEmpty());
}

}  // namespace
}  // namespace marunoki::test
