// The day command end to end: the built program against a loopback server
// serving races 10 to 12 of the sample day (race 9 is not on the site).

#include "cli_process.h"
#include "support/fixture_databases.h"
#include "support/http_test_server.h"
#include "support/sample_race.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

class CliDay : public ::testing::Test {
protected:
    CliDay()
        : base(server.url(QString()))
    {
        for (int number : kSampleDayRaces)
            serveSamplePages(server, makeSampleRace(sampleDayRaceOptions(number)), base);
        writeSampleTrackDb(app.file(QStringLiteral("marunoki.dat")));
        // No request pacing: these runs are about the day, not the site's manners.
        app.write(QStringLiteral("marunoki.ini"), "[web]\r\nrate=0\r\n");
    }

    QStringList dayArgs(int site, const QString &races) const
    {
        return {QStringLiteral("--app-dir"), app.path(), QStringLiteral("day"), QStringLiteral("--site"),
            QString::number(site), QStringLiteral("--year"), QStringLiteral("2026"),
            QStringLiteral("--course"), QStringLiteral("東京"), QStringLiteral("--meeting"),
            QStringLiteral("5"), QStringLiteral("--day"), QStringLiteral("9"), QStringLiteral("--races"),
            races, QStringLiteral("--base1"), base, QStringLiteral("--base2"), base};
    }

    QByteArray readFile(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Every link of the page, and of every page it links to, names a file that
    // is there and, after a '#', an id of that page.
    static void expectLinksResolve(const QString &start)
    {
        static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
        QStringList pending {QFileInfo(start).canonicalFilePath()};
        QSet<QString> seen;
        while (!pending.isEmpty()) {
            const QString page = pending.takeFirst();
            if (seen.contains(page) || !page.endsWith(QStringLiteral(".html")))
                continue;
            seen.insert(page);
            QFile file(page);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
            const QString html = QString::fromUtf8(file.readAll());
            for (const QRegularExpressionMatch &m : href.globalMatch(html)) {
                const QString link = m.captured(1);
                const QString path = link.section(u'#', 0, 0);
                const QString id = link.section(u'#', 1);
                const QString target = path.isEmpty() ? page : QFileInfo(page).dir().filePath(path);
                SCOPED_TRACE((page + QStringLiteral(" -> ") + link).toStdString());
                ASSERT_TRUE(QFileInfo::exists(target));
                if (!id.isEmpty()) {
                    QFile linked(target);
                    ASSERT_TRUE(linked.open(QIODevice::ReadOnly));
                    EXPECT_TRUE(linked.readAll().contains(QStringLiteral("id=\"%1\"").arg(id).toUtf8()));
                }
                pending << QFileInfo(target).canonicalFilePath();
            }
        }
        EXPECT_GT(seen.size(), 1);
    }

    HttpTestServer server;
    TestFolder app;
    TestFolder out;
    QString base;
};

TEST_F(CliDay, LoadsEveryRaceOfTheRangeAndWritesTheDayReport)
{
    const CliRun run = runCli(dayArgs(1, QStringLiteral("9-12"))
        + QStringList {QStringLiteral("--report"), out.file(QStringLiteral("report")),
            QStringLiteral("--json-dir"), out.file(QStringLiteral("json"))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString err = QString::fromUtf8(run.err);
    EXPECT_TRUE(err.contains(QStringLiteral("[1/4] 09R 読み込めません"))) << run.err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("[4/4] 12R 見本ステークス12 14頭 解析済み")));
    EXPECT_TRUE(err.contains(QStringLiteral("計 4レース中 3レースを解析しました")));
    // One line per race, the failed race's detail, the total, and the failed
    // race again with its detail; nothing per page.
    EXPECT_EQ(err.trimmed().split(u'\n').size(), 9) << run.err.toStdString();

    const QString index = QString::fromUtf8(readFile(out.file(QStringLiteral("report/index.html"))));
    EXPECT_EQ(index.count(QStringLiteral("<tr")), 5) << index.toStdString();  // the header and four races
    for (int number : kSampleDayRaces)
        EXPECT_EQ(index.count(QStringLiteral("href=\"%1R/index.html\"").arg(number)), 1) << number;
    // The day's date and site, and the journal's tally written beside the day.
    EXPECT_EQ(index.count(QStringLiteral("href=\"")), 4);
    EXPECT_TRUE(index.contains(QStringLiteral(
        "<p class=\"day\">2026年11月29日（日）　サイト1　<a href=\"tally/index.html\">成績集計</a></p>")))
        << index.toStdString();
    EXPECT_TRUE(index.contains(QStringLiteral("サンプルカップ(GIII)")));

    // Each race's JSON and report are the single load's, which now comes from the cache.
    const int requests = server.requestCount();
    for (int number : kSampleDayRaces) {
        QStringList args = dayArgs(1, QString());
        args = args.mid(0, 2) + QStringList {QStringLiteral("load")} + args.mid(3, 10)
            + QStringList {QStringLiteral("--race"), QString::number(number), QStringLiteral("--base1"), base,
                QStringLiteral("--json"), QStringLiteral("-"), QStringLiteral("--report"),
                out.file(QStringLiteral("single%1").arg(number))};
        const CliRun single = runCli(args);
        ASSERT_EQ(single.exitCode, 0) << single.err.toStdString();
        const QString name = QStringLiteral("%1R").arg(number);
        EXPECT_EQ(readFile(out.file(QStringLiteral("json/") + name + QStringLiteral(".json"))), single.out)
            << number;
        // The day's page differs only by its navigation to the day.
        QString report = QString::fromUtf8(
            readFile(out.file(QStringLiteral("report/") + name + QStringLiteral("/index.html"))));
        EXPECT_FALSE(report.isEmpty()) << number;
        report.replace(QRegularExpression(QStringLiteral("<nav class=\"day\">.*?</nav>")),
            QStringLiteral("<nav class=\"day\"></nav>"));
        EXPECT_EQ(
            report, QString::fromUtf8(readFile(out.file(QStringLiteral("single%1/index.html").arg(number)))))
            << number;
        EXPECT_TRUE(report.contains(QStringLiteral("<h1>2026/11/29 東京 %1R ").arg(number))) << number;
        EXPECT_TRUE(report.contains(QStringLiteral("地方成績: 含まない（NAR_data.mdb なし）"))) << number;
    }
    EXPECT_EQ(server.requestCount(), requests);
    expectLinksResolve(out.file(QStringLiteral("report/index.html")));
    const QString race11 = QString::fromUtf8(readFile(out.file(QStringLiteral("report/11R/index.html"))));
    EXPECT_TRUE(race11.contains(QStringLiteral(
        "<a href=\"../10R/index.html\">← 10R</a><a href=\"../index.html\">↑ 2026年 5回東京9日</a>"
        "<a href=\"../12R/index.html\">12R →</a>")));
}

TEST_F(CliDay, Site2TitlesNameTheRaceNumberOnce)
{
    const CliRun run = runCli(dayArgs(2, QStringLiteral("10-12"))
        + QStringList {QStringLiteral("--report"), out.file(QStringLiteral("report"))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString err = QString::fromUtf8(run.err);
    EXPECT_TRUE(err.contains(QStringLiteral("[1/3] 10R 見本ステークス10 16頭"))) << run.err.toStdString();
    const QString index = QString::fromUtf8(readFile(out.file(QStringLiteral("report/index.html"))));
    EXPECT_TRUE(index.contains(QStringLiteral("<td>見本ステークス10</td>"))) << index.toStdString();
    const QString race = QString::fromUtf8(readFile(out.file(QStringLiteral("report/10R/index.html"))));
    EXPECT_TRUE(race.contains(QStringLiteral("<h1>2026/11/29 東京 10R 見本ステークス10</h1>")));
    EXPECT_TRUE(race.contains(QStringLiteral("地方成績: 含まない（サイト2の読込み）")));
    for (const QString &text : {err, index, race})
        EXPECT_FALSE(text.contains(QStringLiteral("10R 10R")));
    expectLinksResolve(out.file(QStringLiteral("report/index.html")));
}

TEST_F(CliDay, ASecondRunComesFromTheCacheAndRefreshFetchesAgain)
{
    for (int site : {1, 2}) {
        SCOPED_TRACE(site);
        const int before = server.requestCount();
        const CliRun first = runCli(dayArgs(site, QStringLiteral("10-12")));
        ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
        const int fetched = server.requestCount() - before;
        EXPECT_EQ(fetched, 3 + 16 + 16 + 14);
        const CliRun second = runCli(dayArgs(site, QStringLiteral("10-12")));
        ASSERT_EQ(second.exitCode, 0) << second.err.toStdString();
        EXPECT_EQ(server.requestCount() - before, fetched);
        const CliRun refreshed = runCli(dayArgs(site, QStringLiteral("10-12")) + QStringList {"--refresh"});
        ASSERT_EQ(refreshed.exitCode, 0) << refreshed.err.toStdString();
        EXPECT_EQ(server.requestCount() - before, 2 * fetched);
    }
}

TEST_F(CliDay, RefusesWhatIsNoDayAndSaysWhy)
{
    const struct {
        QStringList args;
        int exit;
        QString says;
    } cases[] = {
        {{"day", "--site", "1", "--year", "2026", "--course", "東京", "--meeting", "5"}, 2, "--day"},
        {{"day", "--site", "1", "--year", "2026", "--course", "東京", "--meeting", "5", "--day", "9",
             "--races", "5-3"},
            2, "--races"},
        {{"day", "--site", "1", "--year", "2026", "--course", "東京", "--meeting", "5", "--day", "9",
             "--races", "13"},
            2, "--races"},
        {{"day", "--site", "1", "--year", "2026", "--course", "東京", "--meeting", "5", "--day", "9",
             "--race", "11"},
            2, "--race"},
    };
    for (const auto &c : cases) {
        const CliRun run = runCli(QStringList {QStringLiteral("--app-dir"), app.path()} + c.args);
        EXPECT_EQ(run.exitCode, c.exit) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.err).contains(c.says)) << run.err.toStdString();
    }
    EXPECT_EQ(server.requestCount(), 0);
}

// Each race that could not be read says why on its detail line, as a single
// load would, and is listed again after the total; a race analysed with a
// runner missing is counted apart and makes the status 4.
TEST_F(CliDay, EachFailedRaceSaysWhyAndTheDayListsThemAgain)
{
    const auto cardPath = [&](int number) {
        const QString card = sampleCardAddress(makeSampleRace(sampleDayRaceOptions(number)), 1, base);
        return card.mid(base.size());
    };
    const SampleRace race12 = makeSampleRace(sampleDayRaceOptions(12));
    const struct {
        int race;
        QString cause;
    } failures[] = {
        {9, QStringLiteral("HTTP 404")},  // not on the site
        {10, QStringLiteral("HTTP 503")},
        {11, QStringLiteral("制限時間 1 秒")},
    };
    server.route(cardPath(10), HttpRoute::withStatus(503));
    server.route(cardPath(11), HttpRoute::neverAnswer());
    server.route(sampleHorseAddress(race12, 1, base, 2).mid(base.size()), HttpRoute::withStatus(404));
    const CliRun run = runCli(dayArgs(1, QStringLiteral("9-12")) + QStringList {"--timeout", "1"});
    EXPECT_EQ(run.exitCode, 4) << run.err.toStdString();
    const QStringList lines = QString::fromUtf8(run.err).trimmed().split(u'\n');
    const qsizetype total = lines.indexOf(QRegularExpression(QStringLiteral("^計 4レース中 1レース.*")));
    ASSERT_GE(total, 0) << run.err.toStdString();
    EXPECT_TRUE(lines[total].contains(QStringLiteral("うち 1レースは欠けあり")))
        << lines[total].toStdString();
    for (const auto &f : failures) {
        SCOPED_TRACE(f.race);
        const QString name = QStringLiteral("%1R ").arg(f.race, 2, 10, QLatin1Char('0'));
        const QString detail = QStringLiteral("detail: %1%2 (%3").arg(base, cardPath(f.race), f.cause);
        // Its race line, then its detail; after the total the same again.
        const qsizetype first
            = lines.indexOf(QRegularExpression(QStringLiteral("^\\[.*\\] ") + name + QStringLiteral(".*")));
        ASSERT_GE(first, 0) << run.err.toStdString();
        ASSERT_LT(first + 1, total);
        EXPECT_TRUE(lines[first + 1].startsWith(detail)) << lines[first + 1].toStdString();
        const qsizetype again
            = lines.indexOf(QRegularExpression(QStringLiteral("^  ") + name + QStringLiteral(".*")), total);
        ASSERT_GT(again, total) << run.err.toStdString();
        EXPECT_TRUE(lines.value(again + 1).startsWith(detail)) << lines.value(again + 1).toStdString();
    }
    const qsizetype incomplete
        = lines.indexOf(QRegularExpression(QStringLiteral("^  12R .*2番.*HTTP 404.*")), total);
    EXPECT_GT(incomplete, total) << run.err.toStdString();
}

// The day's index lists every race whose page is in the folder: a run that
// analyses nothing leaves it as it was, a run of some races keeps the rows
// and links of the others, and a race that fails this time keeps its page.
TEST_F(CliDay, ARunOfSomeOrNoRacesKeepsTheDaysOtherPages)
{
    const QString report = out.file(QStringLiteral("report"));
    const QString index = report + QStringLiteral("/index.html");
    const QStringList withReport {QStringLiteral("--report"), report};
    const CliRun whole = runCli(dayArgs(1, QStringLiteral("10-12")) + withReport);
    ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    const QByteArray written = readFile(index);
    ASSERT_EQ(written.count("<tr"), 4);

    const SampleRace race10 = makeSampleRace(sampleDayRaceOptions(10));
    const struct {
        const char *label;
        QString races;
        QStringList more;
        int exit;
    } runs[] = {
        {"race 9 alone, which is not on the site", QStringLiteral("9-9"), {}, 3},
        {"race 12 alone", QStringLiteral("12-12"), {}, 0},
        {"race 10 failing now", QStringLiteral("10-12"), {QStringLiteral("--refresh")}, 0},
    };
    server.route(sampleCardAddress(race10, 1, base).mid(base.size()), HttpRoute::withStatus(503));
    for (const auto &r : runs) {
        SCOPED_TRACE(r.label);
        const CliRun run = runCli(dayArgs(1, r.races) + withReport + r.more);
        EXPECT_EQ(run.exitCode, r.exit) << run.err.toStdString();
        EXPECT_EQ(readFile(index), written);
        expectLinksResolve(index);
    }
    const QString race12 = QString::fromUtf8(readFile(report + QStringLiteral("/12R/index.html")));
    EXPECT_TRUE(race12.contains(QStringLiteral("<a href=\"../11R/index.html\">← 11R</a>")));
}

// Two programs archiving different races into one folder at once: the
// folder's index lists the pages of both, so an offline run reads them all.
TEST_F(CliDay, TwoProgramsArchivingIntoOneFolderAtOnceListEveryPage)
{
    // Slow pages, so that the two runs overlap from start to end.
    for (int number : kSampleDayRaces)
        serveSamplePages(server, makeSampleRace(sampleDayRaceOptions(number)), base, 40);
    const QString archive = out.file(QStringLiteral("archive"));
    const QString ranges[] = {QStringLiteral("10-10"), QStringLiteral("11-12")};
    QProcess runs[2];
    for (int i = 0; i < 2; ++i)
        runs[i].start(QStringLiteral(MARUNOKI_CLI_PATH),
            dayArgs(1, ranges[i]) + QStringList {QStringLiteral("--archive"), archive});
    for (QProcess &run : runs) {
        ASSERT_TRUE(run.waitForFinished(60000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    }
    const QStringList pages = QDir(archive).entryList({QStringLiteral("*.html")}, QDir::Files);
    EXPECT_EQ(pages.size(), 3 + 16 + 16 + 14);
    EXPECT_EQ(readFile(archive + QStringLiteral("/index.tsv")).count('\n'), pages.size());
    const CliRun offline
        = runCli(dayArgs(1, QStringLiteral("10-12")) + QStringList {QStringLiteral("--offline"), archive});
    EXPECT_EQ(offline.exitCode, 0) << offline.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(offline.err).contains(QStringLiteral("計 3レース中 3レースを解析しました")))
        << offline.err.toStdString();
}

TEST_F(CliDay, ADayWithoutAnyRaceOnTheSiteStopsWithStatusThree)
{
    const CliRun run = runCli(dayArgs(2, QStringLiteral("1-2")));
    EXPECT_EQ(run.exitCode, 3) << run.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(run.err).contains(QStringLiteral("計 2レース中 0レースを解析しました")));
}

}  // namespace
}  // namespace marunoki::test

namespace marunoki::test {
namespace {

TEST_F(CliDay, TwoProgramsFillingOneCacheAtOnceBothGetTheWholeDay)
{
    // Slow pages, so that the two runs overlap from start to end.
    for (int number : kSampleDayRaces)
        serveSamplePages(server, makeSampleRace(sampleDayRaceOptions(number)), base, 40);
    QProcess runs[2];
    for (int i = 0; i < 2; ++i)
        runs[i].start(QStringLiteral(MARUNOKI_CLI_PATH),
            dayArgs(1, QStringLiteral("10-12"))
                + QStringList {QStringLiteral("--json-dir"), out.file(QStringLiteral("json%1").arg(i))});
    for (QProcess &run : runs) {
        ASSERT_TRUE(run.waitForFinished(60000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    }
    for (int number : kSampleDayRaces) {
        const QString name = QStringLiteral("/%1R.json").arg(number);
        const QByteArray first = readFile(out.file(QStringLiteral("json0")) + name);
        EXPECT_FALSE(first.isEmpty()) << number;
        EXPECT_EQ(first, readFile(out.file(QStringLiteral("json1")) + name)) << number;
    }
    // What they left in the cache is whole: a third run needs no page.
    const int requests = server.requestCount();
    const CliRun third = runCli(dayArgs(1, QStringLiteral("10-12")));
    EXPECT_EQ(third.exitCode, 0) << third.err.toStdString();
    EXPECT_EQ(server.requestCount(), requests);
}

}  // namespace
}  // namespace marunoki::test
