// The journal as marunoki-cli keeps it: every analysed race recorded, the
// results filled from the "after the race" sample pages, the tally as text,
// CSV and HTML, and a journal that cannot be written.

#include "cli_process.h"
#include "support/test_folder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

// An application folder with the sample databases and settings.
QString sampleAppFolder(const TestFolder &folder)
{
    const QString app = folder.file(QStringLiteral("app"));
    EXPECT_TRUE(QDir().mkpath(app));
    for (const char *name : {"marunoki.dat", "NAR_data.mdb", "marunoki.ini"})
        EXPECT_TRUE(QFile::copy(sourceFile(QStringLiteral("samples/") + QString::fromLatin1(name)),
            app + u'/' + QString::fromLatin1(name)));
    return app;
}

QStringList loadArgs(const QString &app, int race)
{
    return {QStringLiteral("--app-dir"), app, QStringLiteral("load"), QStringLiteral("--site"),
        QStringLiteral("1"), QStringLiteral("--year"), QStringLiteral("2026"), QStringLiteral("--course"),
        QStringLiteral("東京"), QStringLiteral("--meeting"), QStringLiteral("05"), QStringLiteral("--day"),
        QStringLiteral("09"), QStringLiteral("--race"), QString::number(race), QStringLiteral("--offline"),
        sourceFile(QStringLiteral("samples/site1"))};
}

QByteArray hashOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

}  // namespace

TEST(JournalCli, RecordsFillsAndTalliesTheSampleDay)
{
    TestFolder folder;
    const QString app = sampleAppFolder(folder);
    const QString journal = app + QStringLiteral("/journal.sqlite");

    // --no-journal leaves no journal behind.
    CliRun none = runCli(loadArgs(app, 10) << QStringLiteral("--no-journal"));
    ASSERT_EQ(none.exitCode, 0) << none.err.toStdString();
    EXPECT_FALSE(QFile::exists(journal));

    for (const int race : {10, 11, 12}) {
        CliRun load = runCli(loadArgs(app, race));
        ASSERT_EQ(load.exitCode, 0) << load.err.toStdString();
    }
    ASSERT_TRUE(QFile::exists(journal));

    // Before the results every race is pending.
    CliRun before = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("tally")});
    ASSERT_EQ(before.exitCode, 0) << before.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(before.out).contains(QStringLiteral("結果待ち 3 レース")));

    CliRun results = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("results"),
        QStringLiteral("--offline"), sourceFile(QStringLiteral("samples/site1-after"))});
    ASSERT_EQ(results.exitCode, 0) << results.err.toStdString();
    const QString said = QString::fromUtf8(results.out);
    EXPECT_TRUE(said.contains(QStringLiteral("12R 見本ステークス12: 着順 13 頭、出走なし 1 頭、未取得 0 頭")))
        << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("計 3 レース: 着順 45 頭、出走なし 1 頭、未取得 0 頭")))
        << said.toStdString();
    // Nothing is pending any more: a second run asks for nothing.
    CliRun again = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("results"),
        QStringLiteral("--offline"), sourceFile(QStringLiteral("samples/site1-after"))});
    EXPECT_TRUE(QString::fromUtf8(again.out).contains(QStringLiteral("計 0 レース")));

    const QString csv = folder.file(QStringLiteral("tally.csv"));
    const QString html = folder.file(QStringLiteral("tally"));
    CliRun tally = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("tally"), QStringLiteral("--csv"),
        csv, QStringLiteral("--html"), html});
    ASSERT_EQ(tally.exitCode, 0) << tally.err.toStdString();
    const QString text = QString::fromUtf8(tally.out);
    EXPECT_TRUE(text.contains(QStringLiteral("集計 3 レース　結果待ち 0 レース"))) << text.toStdString();
    // Three races: each rank row of each table counts three runners (no ties in the samples).
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("\\n[1-5]位 +3 "))), 20) << text.toStdString();

    QFile csvFile(csv);
    ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
    QStringDecoder cp932("windows-31j");
    const QString csvText = cp932.decode(csvFile.readAll());
    EXPECT_TRUE(csvText.startsWith(
        QStringLiteral("平均指数 順位別成績\r\n順位,レース数,1着,2着,3着,着外,勝率,連対率,複勝率\r\n")))
        << csvText.toStdString();
    EXPECT_TRUE(QFile::exists(html + QStringLiteral("/index.html")));
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(QFile::exists(html + QStringLiteral("/tally-%1.svg").arg(i)));

    // A filter that lets no race through, and values that are not filters.
    CliRun dirt = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("tally"), QStringLiteral("--from"),
        QStringLiteral("2027-01-01")});
    EXPECT_TRUE(QString::fromUtf8(dirt.out).contains(QStringLiteral("集計 0 レース")));
    for (const QStringList &bad : {QStringList {QStringLiteral("--by"), QStringLiteral("odds")},
             QStringList {QStringLiteral("--from"), QStringLiteral("2026/11/01")},
             QStringList {QStringLiteral("--runners"), QStringLiteral("9-3")}}) {
        CliRun refused
            = runCli(QStringList {QStringLiteral("--app-dir"), app, QStringLiteral("tally")} + bad);
        EXPECT_EQ(refused.exitCode, 2) << bad.join(u' ').toStdString();
    }
}

TEST(JournalCli, AJournalThatCannotBeWrittenIsSaidOnceAndTheOutputsStillWritten)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        const char *says;
    };
    QByteArray notSqlite(4096, 'j');
    const Case cases[] = {
        {"not a journal", notSqlite, "成績ジャーナルではありません"},
        {"damaged", QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\x7f'), "成績ジャーナル"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const QString app = sampleAppFolder(folder);
        const QString journal = app + QStringLiteral("/journal.sqlite");
        QFile file(journal);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        const QByteArray before = hashOf(journal);
        const QString json = folder.file(QStringLiteral("race.json"));
        CliRun load = runCli(loadArgs(app, 11) << QStringLiteral("--json") << json);
        EXPECT_EQ(load.exitCode, 1);
        EXPECT_TRUE(QFile::exists(json));
        const QStringList messages = load.messages().filter(QStringLiteral("journal.sqlite"));
        ASSERT_EQ(messages.size(), 1) << load.err.toStdString();
        EXPECT_TRUE(messages[0].contains(QString::fromUtf8(c.says))) << messages[0].toStdString();
        EXPECT_EQ(hashOf(journal), before);
        // A day says it once for all its races.
        CliRun day = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("day"),
            QStringLiteral("--site"), QStringLiteral("1"), QStringLiteral("--year"), QStringLiteral("2026"),
            QStringLiteral("--course"), QStringLiteral("東京"), QStringLiteral("--meeting"),
            QStringLiteral("05"), QStringLiteral("--day"), QStringLiteral("09"), QStringLiteral("--races"),
            QStringLiteral("10-12"), QStringLiteral("--offline"),
            sourceFile(QStringLiteral("samples/site1"))});
        EXPECT_EQ(day.exitCode, 1);
        EXPECT_EQ(day.messages().filter(QStringLiteral("journal.sqlite")).size(), 1) << day.err.toStdString();
        EXPECT_EQ(hashOf(journal), before);
    }
}

}  // namespace marunoki::test
