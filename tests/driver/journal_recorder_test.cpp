// The journal as a day records it: a journal whose write lock another program
// holds costs the wait once, is said once, and the day's later races are not
// recorded (nor waited for).

#include "driver/journal_recorder.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/race_selection.h"
#include "support/test_folder.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace marunoki;

namespace {

TEST(JournalRecorder, ALockedJournalIsWaitedForOnceAndGivenUpForTheRestOfTheRun)
{
    test::TestFolder folder;
    RaceStore store;
    store.raceDate = *serialFromYmd(2026, 11, 29);
    store.fieldSize = 2;
    for (const qint32 n : store.runners())
        store.horses[n].pageAddress
            = QStringLiteral("https://site1.example/directory/horse/20041000%1/").arg(n);
    const auto race = [](int number) {
        return RaceSelection {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"),
            QStringLiteral("09"), QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')),
            ReadingSite::One};
    };
    JournalRecorder first(AppFolder(folder.path()), true);
    RecordingSink messages;
    ASSERT_TRUE(first.record(race(9), store, 0.3f, QString(), messages));

    // Another program takes the write lock and keeps it.
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(folder.file(kJournalFile)).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    JournalRecorder day(AppFolder(folder.path()), true);
    QElapsedTimer clock;
    clock.start();
    for (int number = 10; number <= 12; ++number)
        EXPECT_FALSE(day.record(race(number), store, 0.3f, QString(), messages)) << number;
    // One wait of the busy timeout, not three.
    EXPECT_GE(clock.elapsed(), Journal::kBusyTimeoutMs - 100);
    EXPECT_LT(clock.elapsed(), 2 * Journal::kBusyTimeoutMs - 500);
    EXPECT_TRUE(day.failed());
    ASSERT_EQ(messages.messages().size(), 1) << messages.messages().join(u'\n').toStdString();
    EXPECT_TRUE(messages.messages()[0].contains(QStringLiteral("残りのレースは成績ジャーナルに記録しません")))
        << messages.messages()[0].toStdString();

    // Once the lock is free, a new run records again.
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    JournalRecorder next(AppFolder(folder.path()), true);
    EXPECT_TRUE(next.record(race(10), store, 0.3f, QString(), messages));
}

}  // namespace
