// marunoki-cli demo on the bundled sample race, and the bundled page archives
// against the generator that wrote them.

#include "cli_process.h"

#include "app/format.h"
#include "support/qt_print.h"
#include "support/sample_race.h"
#include "support/test_folder.h"
#include "web/page_archive.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

TEST(CliDemo, LoadsTheSampleRaceAndWritesItsResults)
{
    TestFolder work;
    const CliRun run = runCliAt(work.path(), {QStringLiteral("demo")}, work.path());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString out = work.file(QStringLiteral("marunoki-demo/"));
    const QString csv = out + QStringLiteral("2611290.csv");
    EXPECT_EQ(run.messages(), QStringList {csv + QStringLiteral(" へ出力しました")});
    EXPECT_TRUE(QFile::exists(csv));

    QFile jsonFile(out + QStringLiteral("race.json"));
    ASSERT_TRUE(jsonFile.open(QIODevice::ReadOnly));
    const QJsonObject race = QJsonDocument::fromJson(jsonFile.readAll()).object();
    EXPECT_EQ(race[QStringLiteral("raceDate")].toString(), QStringLiteral("2026-11-29"));
    const QJsonArray runners = race[QStringLiteral("runners")].toArray();
    ASSERT_EQ(runners.size(), 16);
    // Runner 2 has local runs in the sample local-racing database.
    int local = 0;
    for (const QJsonValue &r : runners[1].toObject()[QStringLiteral("runs")].toArray())
        local += !r[QStringLiteral("R_zyo")].toString().isEmpty()
            && !r[QStringLiteral("R_zyo")].toString()[0].isDigit();
    EXPECT_GT(local, 0);

    // The summary: a title line, a header, one line per runner, the reference
    // line; then what was written and the file to open first. The journal's
    // part follows: the sample day recorded, its results, the tally.
    const QString printed = QString::fromUtf8(run.out);
    const qsizetype journal = printed.indexOf(QStringLiteral("\n成績ジャーナル: "));
    ASSERT_GT(journal, 0) << run.out.toStdString();
    const QStringList lines = printed.left(journal).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 21) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("2026/11/29 サンプルカップ")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("サンプルホース01")));
    // Each runner's line holds its own figures, as the JSON has them.
    for (int n = 1; n <= 16; ++n) {
        const QStringList cells = lines[n + 1].split(u' ', Qt::SkipEmptyParts);
        const QJsonArray mean = runners[n - 1].toObject()[QStringLiteral("U_heikin")].toArray();
        ASSERT_GE(cells.size(), 4) << n;
        EXPECT_EQ(cells[2], QString::number(mean[1].toInt())) << n;
        EXPECT_EQ(cells[3], formatNumber(float(mean[0].toDouble()), QStringLiteral("0.0"))) << n;
    }
    EXPECT_TRUE(lines[18].startsWith(QStringLiteral("連対基準線")));
    const QString index = out + QStringLiteral("index.html");
    EXPECT_TRUE(lines[20].endsWith(u' ' + index)) << lines[20].toStdString();

    const QString after = printed.mid(journal);
    EXPECT_TRUE(after.contains(QStringLiteral("計 3 レース: 着順 45 頭、出走なし 1 頭、未取得 0 頭")))
        << after.toStdString();
    EXPECT_TRUE(after.contains(QStringLiteral("集計 3 レース　結果待ち 0 レース"))) << after.toStdString();
    EXPECT_GT(QFileInfo(out + QStringLiteral("tally/index.html")).size(), 1000);
    QFile page(out + QStringLiteral("index.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        page.readAll().contains("<nav class=\"day\"><a href=\"tally/index.html\">成績集計</a></nav>"));
    EXPECT_GT(QFileInfo(out + QStringLiteral("journal.sqlite")).size(), 1000);

    // The views as files beside the exports.
    QStringList views {QStringLiteral("graphs.pdf"), QStringLiteral("table.pdf"),
        QStringLiteral("views.json"), QStringLiteral("index.html"), QStringLiteral("hikaku.png"),
        QStringLiteral("bacyu.png"), QStringLiteral("hikaku.svg")};
    for (int n = 1; n <= 16; ++n)
        views << QStringLiteral("graph-%1.png").arg(n, 2, 10, QLatin1Char('0'))
              << QStringLiteral("graph-%1.svg").arg(n, 2, 10, QLatin1Char('0'));
    for (const QString &name : views)
        EXPECT_GT(QFileInfo(out + name).size(), 1000) << name.toStdString();
}

TEST(SampleArchive, HoldsThePagesTheGeneratorWrites)
{
    const QString bases[]
        = {QStringLiteral("https://site1.example"), QStringLiteral("https://site2.example")};
    for (const auto &[site, number] : {std::pair {1, 10}, {1, 11}, {1, 12}, {2, 10}, {2, 11}, {2, 12}}) {
        SCOPED_TRACE(QStringLiteral("site %1 race %2").arg(site).arg(number).toStdString());
        const SampleRace race = makeSampleRace(sampleDayRaceOptions(number));
        const PageArchive archive(sourceFile(QStringLiteral("samples/site%1").arg(site)));
        const QMap<QString, QString> pages = samplePages(race, site, bases[site - 1]);
        EXPECT_EQ(pages.size(), 1 + int(race.horses.size()));
        for (auto page = pages.begin(); page != pages.end(); ++page) {
            const auto saved = archive.load(page.key());
            ASSERT_TRUE(saved.ok()) << saved.status.message().toStdString()
                                    << " (run samples/make_samples.sh)";
            EXPECT_EQ(saved.value.bytes, samplePageBytes(page.value()))
                << page.key().toStdString() << " differs from the generator: run samples/make_samples.sh";
        }
    }
}

}  // namespace
}  // namespace marunoki::test
