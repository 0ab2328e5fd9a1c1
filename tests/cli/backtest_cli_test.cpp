// backtest as marunoki-cli runs it: a small generated season replayed offline,
// one line per day without a terminal, the totals and the tally of the range;
// run again, every race is passed over; a journal turned off is a usage error.

#include "cli_process.h"
#include "support/sample_race.h"
#include "support/sample_season.h"
#include "support/test_folder.h"
#include "web/page_archive.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

const QString kBase = QStringLiteral("https://site1.example");  // the sample settings' address

TEST(BacktestCli, ReplaysASeasonOfflineGoesOnFromTheJournalAndNeedsTheJournal)
{
    TestFolder folder;
    const QString app = folder.file(QStringLiteral("app"));
    ASSERT_TRUE(QDir().mkpath(app));
    for (const char *name : {"marunoki.dat", "marunoki.ini"})
        ASSERT_TRUE(QFile::copy(sourceFile(QStringLiteral("samples/") + QString::fromLatin1(name)),
            app + u'/' + QString::fromLatin1(name)));
    const QString pages = folder.file(QStringLiteral("pages"));
    {
        PageArchive archive(pages);
        const QMap<QString, QString> season = seasonPages(makeSampleSeason({{5}, 2, 2, 3, 60}), 1, kBase);
        for (auto it = season.begin(); it != season.end(); ++it) {
            const Status saved = archive.save(it.key(), samplePageBytes(it.value()), "UTF-8");
            ASSERT_TRUE(saved.ok()) << saved.message().toStdString();
        }
    }
    const QStringList backtest = {QStringLiteral("--app-dir"), app, QStringLiteral("backtest"),
        QStringLiteral("--site"), QStringLiteral("1"), QStringLiteral("--year"), QStringLiteral("2026"),
        QStringLiteral("--courses"), QStringLiteral("東京"), QStringLiteral("--offline"), pages};

    // Without --report nothing is written where the command runs.
    const QString here = folder.file(QStringLiteral("here"));
    ASSERT_TRUE(QDir().mkpath(here));
    const CliRun first = runCli(backtest, here);
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(QDir(here).isEmpty());
    const QString err = QString::fromUtf8(first.err);
    EXPECT_TRUE(err.contains(QStringLiteral("[2026-04-04 1回東京1日] 3/3 レース 解析済み（頁 ")))
        << first.err.toStdString();
    EXPECT_EQ(err.count(QStringLiteral("レース 解析済み")), 4);
    const QString out = QString::fromUtf8(first.out);
    EXPECT_TRUE(
        out.startsWith(QStringLiteral("計 4日 12レース: 解析 12、欠けあり 0、読めず 0、記録済みで省略 0")))
        << first.out.toStdString();
    // The tally of the range, with every result filled.
    EXPECT_TRUE(out.contains(QStringLiteral("条件: 2026-04-04 〜 2026-04-26、サイト1、東京")))
        << first.out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("結果待ち 0 レース"))) << first.out.toStdString();

    const CliRun again = runCli(backtest);
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.startsWith(
        QStringLiteral("計 4日 12レース: 解析 0、欠けあり 0、読めず 0、記録済みで省略 12").toUtf8()))
        << again.out.toStdString();

    // --report: a folder per day with its index and a report per race.
    const QString report = folder.file(QStringLiteral("report"));
    const CliRun reported = runCli(backtest
        + QStringList {QStringLiteral("--refresh"), QStringLiteral("--meetings"), QStringLiteral("1-1"),
            QStringLiteral("--report"), report});
    EXPECT_EQ(reported.exitCode, 0) << reported.err.toStdString();
    const QStringList days = QDir(report).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(days.size(), 2) << days.join(u' ').toStdString();
    for (const QString &day : days) {
        const QDir dayDir(report + u'/' + day);
        EXPECT_TRUE(dayDir.exists(QStringLiteral("index.html"))) << day.toStdString();
        EXPECT_EQ(dayDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 3) << day.toStdString();
    }

    // A season whose cards are all missing: nothing analysed.
    const CliRun empty
        = runCli(QStringList(backtest).replaceInStrings(QStringLiteral("東京"), QStringLiteral("中山")));
    EXPECT_EQ(empty.exitCode, 3) << empty.err.toStdString();

    QFile ini(app + QStringLiteral("/marunoki.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("[journal]\r\nkeep=0\r\n");
    ini.close();
    const CliRun off = runCli(backtest);
    EXPECT_EQ(off.exitCode, 2);
    EXPECT_TRUE(QString::fromUtf8(off.err).contains(QStringLiteral("keep=0"))) << off.err.toStdString();
}

}  // namespace
}  // namespace marunoki::test
