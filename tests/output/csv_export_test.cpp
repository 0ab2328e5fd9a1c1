#include "output/csv_export.h"

#include "app/common.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"

#include "support/failing_file_system.h"
#include "support/read_only_folder.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

using namespace marunoki;
using namespace marunoki::test;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void setFigures(RaceStore &store, int h, std::initializer_list<float> figures)
{
    int r = 1;
    for (float figure : figures)
        store.U_sisuu[h][r++] = figure;
}

TEST(CsvExport, WritesTheExactBytesOfASmallRace)
{
    TestFolder folder;
    RaceStore store;
    store.raceDate = serialFromYmd(2008, 5, 18).value();
    store.tousuu = 2;
    store.U_name[1] = QStringLiteral("サクラ");
    store.U_waku[1][0] = 1;
    setFigures(store, 1, {80.4f, 0.0f, -3.6f, 56.5f});
    store.U_name[2] = QStringLiteral("ABC");
    store.U_waku[2][0] = 2;
    RecordingSink sink;

    ASSERT_TRUE(writeCsv(store, AppFolder(folder.path()), sink));

    const QByteArray expected
        = QByteArray("\x98\x67\x94\xd4,\x94\x6e\x94\xd4,\x94\x6e\x96\xbc\r\n"  // 枠番,馬番,馬名
                     "1,1,\x83\x54\x83\x4e\x83\x89,80,-4,56\r\n"  // サクラ
                     "2,2,ABC\r\n"
                     "\r\n");
    EXPECT_EQ(readAll(folder.file("0805180.csv")), expected);
    EXPECT_EQ(sink.messages(), QStringList {folder.path() + QStringLiteral("0805180.csv へ出力しました")});
}

TEST(CsvExport, RoundsFiguresHalfToEvenWithoutANegativeZero)
{
    const struct {
        float figure;
        const char *text;
    } cases[] = {{56.5f, "56"}, {57.5f, "58"}, {-0.4f, "0"}, {-2.5f, "-2"}, {-3.5f, "-4"}, {0.5f, "0"},
        {99.49f, "99"}, {120.6f, "121"}, {-12.7f, "-13"}};
    for (const auto &c : cases) {
        RaceStore store;
        store.tousuu = 1;
        store.U_name[1] = QStringLiteral("X");
        store.U_waku[1][0] = 1;
        store.U_sisuu[1][7] = c.figure;
        EXPECT_EQ(
            csvText(store), QStringLiteral("枠番,馬番,馬名\r\n1,1,X,%1\r\n\r\n").arg(QLatin1String(c.text)))
            << c.figure;
    }
}

TEST(CsvExport, CoversEveryRunnerOfTheCardWithAName)
{
    RaceStore store;
    store.tousuu = 18;
    for (int n = 1; n <= kMaxRunners; ++n) {
        store.U_name[n] = QStringLiteral("H%1").arg(n);
        store.U_waku[n][0] = (n + 1) / 2 > 8 ? 8 : (n + 1) / 2;
    }
    store.U_name[5].clear();  // a slot without a name has no line
    setFigures(store, 17, {70.0f});
    store.U_sisuu[18][50] = 64.0f;

    const QStringList lines = csvText(store).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 1 + 17 + 2);
    EXPECT_EQ(lines[4], QStringLiteral("2,4,H4"));
    EXPECT_EQ(lines[5], QStringLiteral("3,6,H6"));
    EXPECT_EQ(lines[16], QStringLiteral("8,17,H17,70"));
    EXPECT_EQ(lines[17], QStringLiteral("8,18,H18,64"));
    EXPECT_EQ(lines[18], QString());
    EXPECT_EQ(lines[19], QString());

    store.tousuu = 16;  // slots beyond today's field are not written
    EXPECT_FALSE(csvText(store).contains(QStringLiteral("H17")));
}

TEST(CsvExport, BeforeAnyRaceWritesTheHeaderAloneToTheFileOfDayZero)
{
    TestFolder folder;
    RaceStore store;
    RecordingSink sink;
    ASSERT_TRUE(writeCsv(store, AppFolder(folder.path()), sink));
    EXPECT_EQ(readAll(folder.file("9912300.csv")),
        QByteArray("\x98\x67\x94\xd4,\x94\x6e\x94\xd4,\x94\x6e\x96\xbc\r\n\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList {QStringLiteral("9912300.csv")});
}

TEST(CsvExport, AFolderThatCannotBeWrittenIsReportedAndKeepsTheOldFile)
{
    TestFolder folder;
    const QString sub = folder.file("locked");
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString target = sub + QStringLiteral("/9912300.csv");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old export\r\n");
    }
    RaceStore store;
    store.tousuu = 1;
    store.U_name[1] = QStringLiteral("X");
    RecordingSink sink;
    bool written = true;
    {
        ReadOnlyFolder protection(sub);
        if (!protection.protects())
            GTEST_SKIP() << "this file system cannot protect a folder from the superuser";
        written = writeCsv(store, AppFolder(sub), sink);
    }
    EXPECT_FALSE(written);
    ASSERT_EQ(sink.messages().size(), 1);
    EXPECT_TRUE(sink.messages().first().contains(target)) << sink.messages().first().toStdString();
    EXPECT_EQ(readAll(target), QByteArray("old export\r\n"));
}

TEST(CsvExport, AFailedWriteKeepsTheOldExportAndIsReported)
{
    for (const auto &fault : writeFaults()) {
        SCOPED_TRACE(fault.name);
        TestFolder folder;
        const QString target = folder.write("9912300.csv", "old export\r\n");
        RaceStore store;
        store.tousuu = 1;
        store.U_name[1] = QStringLiteral("X");
        RecordingSink sink;
        EXPECT_FALSE(writeCsv(store, AppFolder(folder.path()), sink, fault.files));
        ASSERT_EQ(sink.messages().size(), 1);
        EXPECT_TRUE(sink.messages().first().contains(target)) << sink.messages().first().toStdString();
        EXPECT_FALSE(sink.messages().first().contains(QStringLiteral("出力しました")));
        EXPECT_EQ(readAll(target), QByteArray("old export\r\n"));
        EXPECT_EQ(folderEntries(folder.path()), QStringList {QStringLiteral("9912300.csv")});
    }
}

TEST(CsvExport, AMissingFolderIsReported)
{
    TestFolder folder;
    RaceStore store;
    RecordingSink sink;
    EXPECT_FALSE(writeCsv(store, AppFolder(folder.file("no/such/folder")), sink));
    ASSERT_EQ(sink.messages().size(), 1);
    EXPECT_TRUE(sink.messages().first().contains(folder.file("no/such/folder/9912300.csv")));
}

}  // namespace
