// The journal as marunoki-cli keeps it: every analysed race recorded, the
// results filled from the "after the race" sample pages, the tally as text,
// CSV and HTML, and a journal that cannot be written.

#include "cli_process.h"
#include "support/test_folder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

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

    // Races after --until, or before --since, are not asked for.
    for (const char *bound : {"--until", "--since"}) {
        CliRun outside = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("results"),
            QString::fromLatin1(bound), QString::fromLatin1(bound[2] == 'u' ? "2026-11-28" : "2026-11-30"),
            QStringLiteral("--offline"), sourceFile(QStringLiteral("samples/site1-after"))});
        EXPECT_TRUE(QString::fromUtf8(outside.out).contains(QStringLiteral("計 0 レース")))
            << bound << ": " << outside.out.toStdString();
    }
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

    // The first line compares the top figure's 単勝回収率 with the favourite's.
    EXPECT_TRUE(text.startsWith(QStringLiteral("単勝回収率 平均指数1位 "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("期間: 2026-11-29 〜 2026-11-29"))) << text.toStdString();

    // The CSV is data: Python's csv module reads one header row and numbers
    // where numbers belong, in CP932.
    QProcess python;
    python.start(QStringLiteral("python3"),
        {QStringLiteral("-c"), QStringLiteral(R"py(
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding='cp932', newline='')))
head, body = rows[0], rows[1:]
numeric = ['頭数', '1着', '2着', '3着', '着外', '勝率', '勝率下限', '勝率上限', '連対率', '複勝率',
           '複勝率上限', '単勝回収率', '回収率の頭数', '参考']
assert all(len(r) == len(head) for r in body), 'ragged'
for r in body:
    for name in numeric:
        # No stake, no 回収率: an empty cell, which a spreadsheet reads as missing.
        if name == '単勝回収率' and r[head.index('回収率の頭数')] == '0':
            assert r[head.index(name)] == ''
        else:
            float(r[head.index(name)])
    assert float(r[head.index('勝率下限')]) <= float(r[head.index('勝率')]) <= float(r[head.index('勝率上限')])
print(len(body), sorted(set(r[head.index('種類')] for r in body)), body[0][head.index('最初のレース')])
)py"),
            csv});
    ASSERT_TRUE(python.waitForFinished(30000));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    // 4 rank tables of 5 rows, 3 lead tables of 4 bands.
    EXPECT_EQ(QString::fromUtf8(python.readAllStandardOutput()).trimmed(),
        QStringLiteral("32 ['2位との差', '順位'] 2026-11-29"));

    QFile page(html + QStringLiteral("/index.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray pageText = page.readAll();
    // Each of the seven tables in a section of its own, closed before the next.
    EXPECT_EQ(pageText.count("<section>"), 7);
    EXPECT_EQ(pageText.count("</section>\n<section>"), 6);
    EXPECT_TRUE(pageText.contains("</section>\n<p class=\"footer\">"));
    EXPECT_TRUE(pageText.contains("<th>単勝回収率</th>"));
    for (int i = 1; i <= 7; ++i)
        EXPECT_TRUE(QFile::exists(html + QStringLiteral("/tally-%1.svg").arg(i)));

    // A filter that lets no race through, and values that are not filters.
    CliRun dirt = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("tally"), QStringLiteral("--from"),
        QStringLiteral("2027-01-01")});
    EXPECT_TRUE(QString::fromUtf8(dirt.out).contains(QStringLiteral("集計 0 レース")));
    for (const QStringList &bad : {QStringList {QStringLiteral("--by"), QStringLiteral("odds")},
             QStringList {QStringLiteral("--from"), QStringLiteral("2026/11/01")},
             QStringList {QStringLiteral("--runners"), QStringLiteral("9-3")},
             QStringList {QStringLiteral("--group"), QStringLiteral("weather")}}) {
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

// mark sets a mark only on a race analysed before and a runner of its card;
// marks says with its status whether every row of a file was placed.
TEST(MarkCli, MarksOnlyARunnerOfARaceInTheJournal)
{
    TestFolder folder;
    const QString app = sampleAppFolder(folder);
    const auto mark = [&app](int race, const QString &uma, const QString &symbol) {
        return runCli({QStringLiteral("--app-dir"), app, QStringLiteral("mark"), QStringLiteral("--site"),
            QStringLiteral("1"), QStringLiteral("--year"), QStringLiteral("2026"), QStringLiteral("--course"),
            QStringLiteral("東京"), QStringLiteral("--meeting"), QStringLiteral("5"), QStringLiteral("--day"),
            QStringLiteral("9"), QStringLiteral("--race"), QString::number(race), QStringLiteral("--uma"),
            uma, symbol});
    };
    const QString csv = folder.file(QStringLiteral("marks.csv"));
    const auto marks = [&app, &csv](const char *option) {
        return runCli(
            {QStringLiteral("--app-dir"), app, QStringLiteral("marks"), QString::fromLatin1(option), csv});
    };
    CliRun noJournal = mark(11, QStringLiteral("3"), QStringLiteral("◎"));
    EXPECT_EQ(noJournal.exitCode, 1);
    EXPECT_FALSE(QFile::exists(app + QStringLiteral("/journal.sqlite")));
    ASSERT_EQ(runCli(loadArgs(app, 11)).exitCode, 0);

    const struct {
        int race;
        const char *uma, *mark;
        int exitCode;
        const char *says;  // in the message, or on stdout when it succeeds
    } cases[] = {
        {12, "3", "◎", 1, "12R は成績ジャーナルにありません"},
        {11, "17", "◎", 1, "17番"},
        {11, "0", "◎", 2, "--uma"},
        {11, "3", "◯", 2, "◯"},
        {11, "3", "◎", 0, "3番 "},
        // ◎ names one horse: set on a second runner it moves, and says from where.
        {11, "5", "◎", 0, "◎ を 3番"},
        {11, "3", "◎", 0, "◎ を 5番"},
    };
    for (const auto &c : cases) {
        CliRun run = mark(c.race, QString::fromLatin1(c.uma), QString::fromUtf8(c.mark));
        const QString said = QString::fromUtf8(c.exitCode == 0 ? run.out : run.err);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.race << ' ' << c.uma << ' ' << run.err.toStdString();
        EXPECT_TRUE(said.contains(QString::fromUtf8(c.says))) << said.toStdString();
    }
    ASSERT_EQ(marks("--export").exitCode, 0);
    QFile exported(csv);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(QStringDecoder("Shift_JIS").decode(exported.readAll()),
        QStringLiteral("日付,場,レース,馬番,印,サイト\r\n2026-11-29,東京,11,3,◎,1\r\n"));
    exported.close();

    // Cleared, then placed again from the file; a row for a race not analysed makes it 4.
    ASSERT_EQ(mark(11, QStringLiteral("3"), QStringLiteral("-")).exitCode, 0);
    EXPECT_EQ(marks("--import").exitCode, 0);
    ASSERT_TRUE(exported.open(QIODevice::Append));
    exported.write(QStringEncoder("Shift_JIS").encode(QStringLiteral("2026-11-29,東京,9,1,○\r\n")));
    exported.close();
    CliRun partly = marks("--import");
    EXPECT_EQ(partly.exitCode, 4);
    EXPECT_TRUE(QString::fromUtf8(partly.out).contains(QStringLiteral("3行目"))) << partly.out.toStdString();
    // A malformed file, or one that cannot be read, is named and imports nothing.
    ASSERT_TRUE(exported.open(QIODevice::Append));
    exported.write("2026-11-29,東京,11\r\n");
    exported.close();
    CliRun malformed = marks("--import");
    EXPECT_EQ(malformed.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(malformed.err).contains(QStringLiteral("4 行目")))
        << malformed.err.toStdString();
    CliRun folderGiven = runCli(
        {QStringLiteral("--app-dir"), app, QStringLiteral("marks"), QStringLiteral("--import"), app});
    EXPECT_EQ(folderGiven.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(folderGiven.err).contains(app + QStringLiteral(" を読めません")))
        << folderGiven.err.toStdString();
}

}  // namespace marunoki::test
