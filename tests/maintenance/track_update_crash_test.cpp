// Replacing marunoki.dat must be all-or-nothing: an update that dies at any
// moment (power cut, kill, crash) leaves the old track database or the new one,
// never an empty file and never part of one and part of the other. The update
// runs in a child process that is killed at random moments while it installs
// two issues in turn.

#include "maintenance/track_data_update.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "support/crash_harness.h"
#include "support/test_folder.h"
#include "track_files.h"

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

using namespace std::chrono_literals;

TEST(TrackUpdateCrashSafety, AKilledUpdateLeavesOneWholeIssue)
{
    TestFolder app;
    TestFolder saved;
    const AppFolder folder(app.path());
    const QString installed = folder.file(QStringLiteral("marunoki.dat"));
    // Two issues of very different sizes, so that a file cut short or a mix of
    // the two differs from both.
    const QString november = saved.file(QStringLiteral("baba_1101.dat"));
    const QString december = saved.file(QStringLiteral("baba_1201.dat"));
    const QByteArray novemberBytes = writeTrackFile(november, QStringLiteral("2026-11-01"));
    const QByteArray decemberBytes = writeTrackFile(december, QStringLiteral("2026-12-01"), 4000);
    ASSERT_GT(decemberBytes.size(), 4 * novemberBytes.size());
    RecordingSink sink;
    ASSERT_EQ(updateTrackFile(folder, november, sink).outcome, TrackUpdateResult::Outcome::Updated);

    const CrashRun run = crashRepeatedly(
        [&](int i) {
            RecordingSink childSink;
            static_cast<void>(updateTrackFile(folder, i % 2 == 0 ? december : november,
                childSink));  // the crash is the test, not the result
        },
        [&] { return unlessOneOf(installed, novemberBytes, decemberBytes); }, 40, 80ms);

    EXPECT_TRUE(run.faults.isEmpty()) << run.faults.join(u'\n').toStdString();
    EXPECT_EQ(run.rounds, 40);
    // Some kills landed after whole updates, not only inside the first.
    EXPECT_GT(run.killedDuringSequence, 0);
    // Nothing is left but the installed file and the temporaries of killed updates.
    EXPECT_EQ(strayFiles(app.path(), QStringLiteral("marunoki.dat")), QStringList());
    // And the installed file is a working track database of one of the two issues.
    const auto version = installedTrackVersion(folder, sink);
    EXPECT_TRUE(version == trackVersionText(serialFromYmd(2026, 11, 1).value())
        || version == trackVersionText(serialFromYmd(2026, 12, 1).value()))
        << (version ? version->toStdString() : std::string("no version"));
    EXPECT_TRUE(sink.messages().isEmpty());
}
