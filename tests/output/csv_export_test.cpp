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
        store.horses[h].runs[r++].speedFigure = figure;
}

TEST(CsvExport, WritesTheExactBytesOfASmallRace)
{
    TestFolder folder;
    RaceStore store;
    store.raceDate = serialFromYmd(2008, 5, 18).value();
    store.fieldSize = 2;
    store.horses[1].name = QStringLiteral("サクラ");
    store.horses[1].runs[0].bracket = 1;
    setFigures(store, 1, {80.4f, 0.0f, -3.6f, 56.5f});
    store.horses[2].name = QStringLiteral("ABC");
    store.horses[2].runs[0].bracket = 2;
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
        store.fieldSize = 1;
        store.horses[1].name = QStringLiteral("X");
        store.horses[1].runs[0].bracket = 1;
        store.horses[1].runs[7].speedFigure = c.figure;
        EXPECT_EQ(
            csvText(store), QStringLiteral("枠番,馬番,馬名\r\n1,1,X,%1\r\n\r\n").arg(QLatin1String(c.text)))
            << c.figure;
    }
}

TEST(CsvExport, CoversEveryRunnerOfTheCardWithAName)
{
    RaceStore store;
    store.fieldSize = 18;
    for (int n = 1; n <= kMaxRunners; ++n) {
        store.horses[n].name = QStringLiteral("H%1").arg(n);
        store.horses[n].runs[0].bracket = (n + 1) / 2 > 8 ? 8 : (n + 1) / 2;
    }
    store.horses[5].name.clear();  // a slot without a name has no line
    setFigures(store, 17, {70.0f});
    store.horses[18].runs[50].speedFigure = 64.0f;

    const QStringList lines = csvText(store).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 1 + 17 + 2);
    EXPECT_EQ(lines[4], QStringLiteral("2,4,H4"));
    EXPECT_EQ(lines[5], QStringLiteral("3,6,H6"));
    EXPECT_EQ(lines[16], QStringLiteral("8,17,H17,70"));
    EXPECT_EQ(lines[17], QStringLiteral("8,18,H18,64"));
    EXPECT_EQ(lines[18], QString());
    EXPECT_EQ(lines[19], QString());

    store.fieldSize = 16;  // slots beyond today's field are not written
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
    store.fieldSize = 1;
    store.horses[1].name = QStringLiteral("X");
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
        store.fieldSize = 1;
        store.horses[1].name = QStringLiteral("X");
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

namespace {

// One race of a day: every race of the day shares the file name.
void fillRace(RaceStore &store, const QString &firstName)
{
    store.clearForLoad();
    store.raceDate = serialFromYmd(2026, 11, 29).value();
    store.fieldSize = 2;
    store.horses[1].name = firstName;
    store.horses[2].name = QStringLiteral("ミホンダッシュ");
}

// The session asks before a file holding another race is replaced, names that
// race (as the session wrote it, or by its runners), and keeps the user's
// answer (but not a cancel) for the session.
TEST(CsvExportSession, AsksOnceBeforeReplacingAnotherRace)
{
    using Answer = CsvExportSession::Answer;
    TestFolder folder;
    const AppFolder app(folder.path());
    RaceStore store;
    RecordingSink sink;
    const QString dayFile = folder.file("2611290.csv");

    // An earlier session's file of race 10.
    fillRace(store, QStringLiteral("ミホンオー"));
    ASSERT_TRUE(writeCsv(store, app, sink));

    CsvExportSession first;
    CsvExportSession second;
    const struct {
        const char *name;
        CsvExportSession *session;
        QString firstRunner;  // of the race exported now
        QString race;
        std::optional<Answer> userSays;  // asked, and this is the answer
        QString questionHas;  // the race in the file, as the question names it
        std::optional<Answer> taken;  // the answer taken without asking
    } steps[] = {
        {"the same runners again", &first, QStringLiteral("ミホンオー"), QStringLiteral("東京 10R"), {}, {},
            Answer::Replace},
        {"another race, cancelled", &first, QStringLiteral("ミホンキング"), QStringLiteral("東京 11R"),
            Answer::Cancel, QStringLiteral("東京 10R"), {}},
        {"asked again after a cancel", &first, QStringLiteral("ミホンキング"), QStringLiteral("東京 11R"),
            Answer::Replace, QStringLiteral("東京 10R"), {}},
        {"the answer is kept", &first, QStringLiteral("ミホンクイーン"), QStringLiteral("東京 12R"), {}, {},
            Answer::Replace},
        {"a new session names the race by its runners", &second, QStringLiteral("ミホンオー"),
            QStringLiteral("東京 10R"), Answer::OwnName,
            QStringLiteral("別のレース（ミホンクイーン ほか1頭）"), {}},
        {"and keeps its own answer", &second, QStringLiteral("ミホンキング"), QStringLiteral("東京 11R"), {},
            {}, Answer::OwnName},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.name);
        fillRace(store, step.firstRunner);
        const CsvExportSession::Plan plan = step.session->plan(store, app, step.race);
        EXPECT_EQ(plan.path, dayFile);
        Answer answer = Answer::Replace;
        if (step.userSays) {
            EXPECT_FALSE(plan.answer);
            EXPECT_TRUE(plan.question.contains(step.questionHas)) << plan.question.toStdString();
            EXPECT_TRUE(plan.question.contains(step.race)) << plan.question.toStdString();
            step.session->answered(*step.userSays);
            answer = *step.userSays;
        } else {
            EXPECT_TRUE(plan.question.isEmpty()) << plan.question.toStdString();
            ASSERT_EQ(plan.answer, step.taken);
            answer = *plan.answer;
        }
        if (answer == Answer::Cancel)
            continue;
        const int race = answer == Answer::OwnName ? step.race.mid(3, 2).toInt() : 0;
        ASSERT_TRUE(writeCsv(store, app, sink, systemFileSystem(), race));
        step.session->written(csvPath(store, app, race), step.race);
    }
    // ミホンクイーン (race 12) stayed in the day's file; 10 and 11 went beside it.
    EXPECT_TRUE(readAll(dayFile).contains("\x83\x4e\x83\x43\x81\x5b\x83\x93"));
    EXPECT_TRUE(QFile::exists(folder.file("2611290_10R.csv")));
    EXPECT_TRUE(QFile::exists(folder.file("2611290_11R.csv")));
}

}  // namespace

namespace {

// The runners are looked for in the first mebibyte of an existing file: one of
// exactly that size, its last runner at the very end, still holds this race.
TEST(CsvExportSession, FindsTheRunnersUpToTheLastByteOfAMebibyteFile)
{
    TestFolder folder;
    const AppFolder app(folder.path());
    RaceStore store;
    fillRace(store, QStringLiteral("ミホンオー"));
    QString text = csvText(store);
    const qsizetype firstRunnerEnd = text.indexOf(u'\r', text.indexOf(u'\n'));
    const qsizetype padding = 1024 * 1024 - toCodePage(text).size() - 1;
    text.insert(firstRunnerEnd, u',' + QString(padding, u'9'));
    QFile file(csvPath(store, app));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(toCodePage(text)), 1024 * 1024);
    file.close();

    const CsvExportSession::Plan plan = CsvExportSession().plan(store, app, QStringLiteral("東京 10R"));
    EXPECT_TRUE(plan.question.isEmpty()) << plan.question.toStdString();
    EXPECT_EQ(plan.answer, CsvExportSession::Answer::Replace);
}

}  // namespace
