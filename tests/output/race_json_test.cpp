#include "output/race_json.h"

#include "app/format.h"
#include "app/race_store.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <limits>

namespace marunoki {
namespace {

double serial(int y, int m, int d)
{
    return *serialFromYmd(y, m, d);
}

QJsonObject parse(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n"
                                                     << json.toStdString();
    return doc.object();
}

class RaceJsonTest : public ::testing::Test {
protected:
    RaceJsonTest()
    {
        store.clearForLoad();
        store.raceDate = serial(2026, 11, 29);
        store.raceTitle = QStringLiteral("ジャパンカップ");
        store.raceConditions = QStringLiteral("芝2400m");
        store.fieldSize = 2;
        store.topMeans = {0, 80.5f, 75.25f, 70};
        store.referenceFigure = 78.3f;
        store.graphBase = 40;
        for (int n = 1; n <= 2; ++n) {
            store.horses[n].name = QStringLiteral("ウマ%1").arg(n);
            store.horses[n].runs[0].date = store.raceDate;
            store.horses[n].runs[0].distance = 2400;
        }
    }
    RaceStore store;
};

TEST_F(RaceJsonTest, WritesRaceFieldsAndRunnerSlotsInOrder)
{
    const QJsonObject o = parse(raceStoreJson(store));
    EXPECT_EQ(o["raceDate"].toString(), QStringLiteral("2026-11-29"));
    EXPECT_EQ(o["raceTitle"].toString(), QStringLiteral("ジャパンカップ"));
    EXPECT_EQ(o["raceJouken"].toString(), QStringLiteral("芝2400m"));
    EXPECT_EQ(o["tousuu"].toInt(), 2);
    EXPECT_EQ(o["zyouiHeikin"].toArray().size(), 4);
    EXPECT_DOUBLE_EQ(o["zyouiHeikin"].toArray()[2].toDouble(), 75.25);
    EXPECT_EQ(o["graphBase"].toInt(), 40);
    const QJsonArray runners = o["runners"].toArray();
    ASSERT_EQ(runners.size(), 2);
    EXPECT_EQ(runners[0].toObject()["n"].toInt(), 1);
    EXPECT_EQ(runners[1].toObject()["U_name"].toString(), QStringLiteral("ウマ2"));
    EXPECT_EQ(runners[0].toObject()["U_taisen"].toArray().size(), 19);
}

TEST_F(RaceJsonTest, IncludesRunZeroAndOnlyPresentPastRuns)
{
    store.horses[1].runs[1].date = serial(2026, 10, 1);
    store.horses[1].runs[3].date = serial(2026, 6, 1);  // run 2 absent: a gap is skipped, not an end
    store.horses[1].runs[3].course = QStringLiteral("05");
    store.horses[1].runs[3].cornerPositions = {0, 3, 4, 5, 6};
    const QJsonArray runs = parse(raceStoreJson(store))["runners"].toArray()[0].toObject()["runs"].toArray();
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].toObject()["run"].toInt(), 0);
    EXPECT_EQ(runs[0].toObject()["R_kyori"].toInt(), 2400);
    EXPECT_EQ(runs[1].toObject()["run"].toInt(), 1);
    EXPECT_EQ(runs[2].toObject()["run"].toInt(), 3);
    EXPECT_EQ(runs[2].toObject()["R_date"].toString(), QStringLiteral("2026-06-01"));
    EXPECT_EQ(runs[2].toObject()["R_zyo"].toString(), QStringLiteral("05"));
    EXPECT_EQ(runs[2].toObject()["U_tuka"].toArray(), (QJsonArray {3, 4, 5, 6}));
}

TEST_F(RaceJsonTest, WritesFloatsAsShortestText)
{
    store.horses[1].runs[0].time = 25.2f;
    store.horses[1].runs[0].weightCarried = 57.0f;
    store.horses[1].meanFigure = {90.75f, 3};
    store.horses[1].headToHead[2] = {1, 0.5f};
    const QByteArray json = raceStoreJson(store);
    EXPECT_TRUE(json.contains("\"U_time\":25.2,")) << json.toStdString();
    EXPECT_TRUE(json.contains("\"U_hutan\":57,"));
    EXPECT_TRUE(json.contains("\"U_heikin\":[90.75,3]"));
    EXPECT_TRUE(json.contains("\"rentaiKizyun\":78.3,"));
    EXPECT_TRUE(json.contains("[0,0],[1,0.5],[0,0]"));
    EXPECT_FALSE(json.contains("25.200000"));
}

TEST_F(RaceJsonTest, WritesNullForNoDateAndForNonFiniteFigures)
{
    store.raceDate = 0;
    store.horses[1].runs[0].date = 0;
    store.horses[1].runs[0].speedFigure = std::numeric_limits<float>::quiet_NaN();
    store.horses[1].runs[0].last3fFigure = std::numeric_limits<float>::infinity();
    const QJsonObject o = parse(raceStoreJson(store));
    EXPECT_TRUE(o["raceDate"].isNull());
    const QJsonObject run0 = o["runners"].toArray()[0].toObject()["runs"].toArray()[0].toObject();
    EXPECT_TRUE(run0["R_date"].isNull());
    EXPECT_TRUE(run0["U_sisuu"].isNull());
    EXPECT_TRUE(run0["U_agari"].isNull());
}

TEST_F(RaceJsonTest, ExtremeFloatsStayValidJson)
{
    const float values[] = {3.4e38f, -3.4e38f, 1e-30f, -0.0f, 1.17549435e-38f, 123456789.0f};
    for (float v : values) {
        store.horses[1].runs[0].time = v;
        const QJsonObject run0
            = parse(raceStoreJson(store))["runners"].toArray()[0].toObject()["runs"].toArray()[0].toObject();
        ASSERT_TRUE(run0["U_time"].isDouble()) << v;
        EXPECT_EQ(static_cast<float>(run0["U_time"].toDouble()), v);
    }
}

TEST_F(RaceJsonTest, EscapesStrings)
{
    const QString awkward = QStringLiteral("O'Brien \"Jr\" \\ tab\t nl\n cr\r bs\b ff\f ctl\x01 ")
        + QChar(0x2028) + QStringLiteral("馬");
    store.horses[1].name = awkward;
    const QByteArray json = raceStoreJson(store);
    EXPECT_TRUE(json.contains("\\u0001"));
    EXPECT_TRUE(json.contains("\\u2028"));
    EXPECT_EQ(parse(json)["runners"].toArray()[0].toObject()["U_name"].toString(), awkward);
}

TEST_F(RaceJsonTest, NeverReadsBeyondTheRunnerTable)
{
    store.fieldSize = 40;  // a broken card count must not walk off the table
    EXPECT_EQ(parse(raceStoreJson(store))["runners"].toArray().size(), kMaxRunners);
    store.fieldSize = 0;
    EXPECT_TRUE(parse(raceStoreJson(store))["runners"].toArray().isEmpty());
}

}  // namespace
}  // namespace marunoki
