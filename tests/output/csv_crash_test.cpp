// A CSV export that dies at any moment must leave the file of the race day as it
// was before or as the finished export makes it: never empty, never a mix. The
// export runs in a child process that is killed at random moments while it
// writes two different races to the same file in turn.

#include "output/csv_export.h"

#include "app/common.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"

#include "support/crash_harness.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace marunoki;
using namespace marunoki::test;

namespace {

using namespace std::chrono_literals;

// A full field with every figure set: about 3 KB of CSV. `variant` changes the
// names and figures, so the two exports differ throughout.
std::unique_ptr<RaceStore> fullRace(int variant)
{
    auto store = std::make_unique<RaceStore>();
    store->raceDate = serialFromYmd(2026, 12, 27).value();
    store->fieldSize = kMaxRunners;
    for (int n = 1; n <= kMaxRunners; ++n) {
        store->horses[n].name = QStringLiteral("テストホース%1-%2").arg(n).arg(variant);
        store->horses[n].runs[0].bracket = std::min((n + 1) / 2, 8);
        for (int r = 1; r <= kMaxRuns; ++r)
            store->horses[n].runs[r].speedFigure
                = static_cast<float>(40 + (n * 7 + r * 3 + variant * 11) % 60);
    }
    return store;
}

}  // namespace

TEST(CsvCrashSafety, AKilledExportLeavesTheOldOrTheNewFile)
{
    TestFolder folder;
    const AppFolder app(folder.path());
    const QString path = folder.file(QStringLiteral("2612270.csv"));
    const std::unique_ptr<RaceStore> races[] = {fullRace(0), fullRace(1)};
    RecordingSink sink;
    ASSERT_TRUE(writeCsv(*races[1], app, sink));
    const QByteArray second = fileBytes(path).value_or(QByteArray());
    ASSERT_TRUE(writeCsv(*races[0], app, sink));
    const QByteArray first = fileBytes(path).value_or(QByteArray());
    ASSERT_NE(first, second);
    ASSERT_GT(first.size(), 2000);

    const CrashRun run = crashRepeatedly(
        [&](int i) {
            RecordingSink quiet;
            writeCsv(*races[i % 2], app, quiet);
        },
        [&] { return unlessOneOf(path, first, second); }, 40, 80ms);

    EXPECT_TRUE(run.faults.isEmpty()) << run.faults.join(u'\n').toStdString();
    EXPECT_EQ(run.rounds, 40);
    // Some kills landed after whole writes, not only inside the first.
    EXPECT_GT(run.killedDuringSequence, 0);
    // Killed exports leave no other copy of the race beside the program.
    EXPECT_EQ(strayFiles(folder.path(), QStringLiteral("2612270.csv")), QStringList());
}
