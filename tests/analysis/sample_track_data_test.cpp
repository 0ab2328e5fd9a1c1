#include "analysis/track_db.h"

#include "app/format.h"
#include "db/database.h"

#include "support/test_folder.h"

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

// The sample files in samples/ are what the demonstrations run on: they must
// open and answer the program's lookups.

TEST(SampleTrackData, CentralFileAnswersEveryCourseOnARaceDay)
{
    QString error;
    auto db = Database::openQuietly(sourceFile("samples/marunoki.dat"), &error);
    ASSERT_TRUE(db) << error.toStdString();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    EXPECT_EQ(track.issueDate(), serialFromYmd(2026, 11, 30));
    const double sunday = *serialFromYmd(2026, 5, 31);
    const double monday = sunday + 1;
    for (int course = 1; course <= 10; ++course) {
        const QString code = QStringLiteral("%1").arg(course, 2, 10, QChar(u'0'));
        for (int surface : {0, 1}) {
            const Lookup variant = track.trackVariant(sunday, code, surface);
            ASSERT_TRUE(variant.ok && variant.value) << code.toStdString();
            EXPECT_GE(*variant.value, -1.2f);
            EXPECT_LE(*variant.value, 1.5f);
            EXPECT_TRUE(track.trackVariant(monday, code, surface).ok);
            EXPECT_FALSE(track.trackVariant(monday, code, surface).value.has_value());
        }
        const Lookup mile = track.averageTime(1600, code, 1);
        ASSERT_TRUE(mile.ok && mile.value);
        EXPECT_GT(*mile.value, 90.0f);
        EXPECT_LT(*mile.value, 102.0f);
        EXPECT_TRUE(track.averageTime(2400, code, 0).value.has_value());
    }
}

TEST(SampleTrackData, LocalFileHoldsLocalAveragesAndVariants)
{
    auto db = Database::openQuietly(sourceFile("samples/NAR_data.mdb"));
    ASSERT_TRUE(db);
    TrackDatabase local(*db, TrackDatabase::Kind::Local);
    TrackDatabase central(*db, TrackDatabase::Kind::Central);
    const double raceDay = *serialFromYmd(2026, 12, 27);
    for (const char *course : {"大井", "川崎", "船橋", "浦和"}) {
        EXPECT_TRUE(local.trackVariant(raceDay - 100, QString::fromUtf8(course), 0).value.has_value())
            << course;
        const Lookup mile = local.averageTime(1600, QString::fromUtf8(course), 0);
        ASSERT_TRUE(mile.ok && mile.value) << course;
        // The rows not marked A_sin_kyu = 1 hold other (slower) times.
        const Lookup any = central.averageTime(1600, QString::fromUtf8(course), 0);
        ASSERT_TRUE(any.ok && any.value);
        EXPECT_NE(*any.value, *mile.value);
    }
}
