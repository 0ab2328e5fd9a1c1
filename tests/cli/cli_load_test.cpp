// marunoki-cli load against a loopback server that serves both sites' pages of
// the sample race: the JSON, the CSV bytes, the messages on stderr and the exit
// statuses, as an outside check would see them.

#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/load_driver.h"
#include "output/race_json.h"
#include "settings/settings.h"
#include "web/page_loader.h"

#include "cli_process.h"
#include "support/crash_harness.h"
#include "support/fake_page_source.h"
#include "support/fixture_databases.h"
#include "support/http_test_server.h"
#include "support/qt_print.h"
#include "support/sample_race.h"
#include "support/small_tmpfs.h"
#include "support/test_folder.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include <signal.h>
#include <unistd.h>

namespace marunoki::test {
namespace {

const QString kApostropheName = QStringLiteral("ダンサーズ'イメージ");
const QString kCardUnreadable = QStringLiteral("出馬表が正常に読み込めません");

QString daysBefore(int days)
{
    return QDate(2026, 11, 29).addDays(-days).toString(QStringLiteral("yyyy-MM-dd"));
}

QJsonObject parseJson(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return doc.object();
}

// The run's last stderr line: load's summary.
QString lastLine(const QByteArray &err)
{
    return QString::fromUtf8(err).trimmed().section(u'\n', -1);
}

QJsonObject runner(const QJsonObject &race, int n)
{
    return race[QStringLiteral("runners")].toArray().at(n - 1).toObject();
}

// Dates of the runner's past runs (run 0 left out), in order.
QStringList pastRunDates(const QJsonObject &race, int n)
{
    QStringList dates;
    for (const QJsonValue &run : runner(race, n)[QStringLiteral("runs")].toArray()) {
        if (run[QStringLiteral("run")].toInt() > 0)
            dates.append(run[QStringLiteral("R_date")].toString());
    }
    return dates;
}

QList<QJsonObject> localRuns(const QJsonObject &race, int n)
{
    QList<QJsonObject> found;
    for (const QJsonValue &run : runner(race, n)[QStringLiteral("runs")].toArray()) {
        if (run[QStringLiteral("R_zyo")].toString() == QStringLiteral("大井"))
            found.append(run.toObject());
    }
    return found;
}

// The loopback server's sockets need an application object.
class WithApplication {
public:
    WithApplication()
    {
        if (QCoreApplication::instance() == nullptr)
            static QCoreApplication app(argc_, argv_);
    }

private:
    static inline int argc_ = 1;
    static inline char name_[] = "test_cli";
    static inline char *argv_[] = {name_, nullptr};
};

class CliLoad : public ::testing::Test, private WithApplication {
protected:
    CliLoad()
        : race(makeSampleRace({6, true, kApostropheName}))
        , base(server.url(QString()))
    {
        serveSamplePages(server, race, base);
        writeSampleTrackDb(app.file(QStringLiteral("marunoki.dat")));
        // No request pacing unless a test sets it: the pacing has tests of its own.
        app.write(QStringLiteral("marunoki.ini"), "[web]\r\nrate=0\r\n");
    }

    void addLocalRuns()
    {
        LocalRun nullLast3f {QStringLiteral("サンプルホース01"), 3, QVariant(), 101.0};
        LocalRun raceDay {QStringLiteral("サンプルホース01"), 0, 38.0, 101.0};
        LocalRun day419 {QStringLiteral("サンプルホース01"), 419, 38.0, 102.0};
        LocalRun day420 {QStringLiteral("サンプルホース01"), 420, 38.0, 102.0};
        LocalRun apostrophe {kApostropheName, 30, 37.5, 100.5};
        writeSampleNarDb(
            app.file(QStringLiteral("NAR_data.mdb")), {nullLast3f, raceDay, day419, day420, apostrophe});
    }

    QString path(const QString &url) const { return url.mid(base.size()); }
    QString horsePath(int site, int n) const { return path(sampleHorseAddress(race, site, base, n)); }

    QStringList selectionArgs(int site) const
    {
        return {QStringLiteral("--app-dir"), app.path(), QStringLiteral("load"), QStringLiteral("--site"),
            QString::number(site), QStringLiteral("--year"), QStringLiteral("2026"),
            QStringLiteral("--course"), QStringLiteral("東京"), QStringLiteral("--meeting"),
            QStringLiteral("5"), QStringLiteral("--day"), QStringLiteral("09"), QStringLiteral("--race"),
            QStringLiteral("11")};
    }
    QStringList baseArgs() const
    {
        return {QStringLiteral("--base1"), base, QStringLiteral("--base2"), base};
    }

    CliRun load(int site, const QStringList &extra = {QStringLiteral("--json"), QStringLiteral("-")})
    {
        return runCli(selectionArgs(site) + baseArgs() + extra);
    }

    // The same load in this process, on the builders' body HTML without HTTP.
    QByteArray inProcessJson(int site)
    {
        RaceStore store;
        FakePageSource source;
        source.setPages(samplePages(race, site, base));
        struct : ProgressSink {
            void status(const QString &) override { }
        } progress;
        RecordingSink messages;
        Settings settings;
        settings.kakeritu = 0.3f;
        settings.site1Base = base;
        settings.site2Base = base;
        LoadContext context {store, settings, AppFolder(app.path()), source, progress, messages};
        const RaceSelection selection {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"),
            QStringLiteral("09"), QStringLiteral("11"), site == 1 ? ReadingSite::One : ReadingSite::Two};
        EXPECT_TRUE(runLoad(selection, context).analysed);
        return raceStoreJson(store);
    }

    HttpTestServer server;
    TestFolder app;
    SampleRace race;
    QString base;
};

TEST_F(CliLoad, Site1GivesTheWholeRaceAsJson)
{
    const CliRun run = load(1);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.messages(), QStringList());
    const QJsonObject json = parseJson(run.out);
    EXPECT_EQ(json["raceDate"].toString(), QStringLiteral("2026-11-29"));
    EXPECT_EQ(json["tousuu"].toInt(), 6);
    EXPECT_EQ(json["runners"].toArray().size(), 6);
    EXPECT_EQ(runner(json, 3)["U_name"].toString(), kApostropheName);
    EXPECT_EQ(runner(json, 2)["U_Url"].toString(), sampleHorseAddress(race, 1, base, 2));
    EXPECT_EQ(runner(json, 2)["U_titi"].toString(), QStringLiteral("サンプルサイアー3"));
    const QJsonArray runs = runner(json, 2)["runs"].toArray();
    ASSERT_EQ(runs.size(), 8);  // run 0 and seven past runs
    EXPECT_EQ(runs[1]["R_zyo"].toString().size(), 2);
    EXPECT_NE(runs[1]["U_sisuu"].toDouble(), 0);
    EXPECT_GT(runner(json, 2)["U_heikin"].toArray()[1].toInt(), 0);
    EXPECT_GT(json["rentaiKizyun"].toDouble(), 0);
    // The status line on a pipe: one plain line per page.
    EXPECT_TRUE(run.err.contains("出馬表読込み中・・・\n"));
    EXPECT_TRUE(run.err.contains("03/06 ダンサーズ'イメージ成績読込み中・・・\n"));
    EXPECT_FALSE(run.err.contains('\r'));
}

TEST_F(CliLoad, JsonEqualsALoadOfTheSamePagesInProcess)
{
    addLocalRuns();
    for (int site : {1, 2}) {
        SCOPED_TRACE(site);
        const CliRun run = load(site);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, inProcessJson(site));
    }
}

TEST_F(CliLoad, KeepsOnlyRunsOfThe420DaysBeforeTheRace)
{
    for (int site : {1, 2}) {
        SCOPED_TRACE(site);
        const CliRun run = load(site);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QStringList dates = pastRunDates(parseJson(run.out), 1);
        EXPECT_TRUE(dates.contains(daysBefore(419)));
        EXPECT_FALSE(dates.contains(daysBefore(420)));
        EXPECT_FALSE(dates.contains(daysBefore(0)));
        EXPECT_EQ(dates.size(), 8) << dates.join(u' ').toStdString();
    }
}

TEST_F(CliLoad, MergesLocalRunsOnSite1Only)
{
    addLocalRuns();
    const CliRun site1 = load(1);
    ASSERT_EQ(site1.exitCode, 0) << site1.err.toStdString();
    EXPECT_EQ(site1.messages(), QStringList());
    const QJsonObject json = parseJson(site1.out);
    const QList<QJsonObject> local = localRuns(json, 1);
    ASSERT_EQ(local.size(), 2);  // 3 and 419 days before; not the race day, not 420 days before
    EXPECT_EQ(local[0]["R_date"].toString(), daysBefore(3));
    EXPECT_EQ(local[1]["R_date"].toString(), daysBefore(419));
    // Null last-three-furlong time: no time and no last-three-furlong figure,
    // but a speed figure from the local reference rows.
    EXPECT_EQ(local[0]["U_3f"].toDouble(), 0);
    EXPECT_EQ(local[0]["U_agari"].toDouble(), 0);
    EXPECT_NE(local[0]["U_sisuu"].toDouble(), 0);
    EXPECT_EQ(local[1]["U_3f"].toDouble(), 38);
    // Runs stay newest first after the merge.
    const QStringList dates = pastRunDates(json, 1);
    QStringList sorted = dates;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    EXPECT_EQ(dates, sorted);
    // A name with an apostrophe is found like any other.
    ASSERT_EQ(localRuns(json, 3).size(), 1);
    EXPECT_EQ(localRuns(json, 3)[0]["R_date"].toString(), daysBefore(30));

    const CliRun site2 = load(2);
    ASSERT_EQ(site2.exitCode, 0) << site2.err.toStdString();
    EXPECT_TRUE(localRuns(parseJson(site2.out), 1).isEmpty());
    EXPECT_TRUE(localRuns(parseJson(site2.out), 3).isEmpty());
}

TEST_F(CliLoad, WritesTheCsvIntoTheApplicationFolder)
{
    const CliRun run = load(1, {QStringLiteral("--csv"), QStringLiteral("--json"), QStringLiteral("-")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString csvPath = app.file(QStringLiteral("2611290.csv"));
    EXPECT_EQ(run.messages(), QStringList {csvPath + QStringLiteral(" へ出力しました")});
    EXPECT_EQ(lastLine(run.err),
        QStringLiteral("11R サンプルカップ(GIII) 6頭 解析済み（書き出し: --json, --csv）"));
    QFile file(csvPath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();

    // What the file must hold, from the JSON of the same load.
    const QJsonObject json = parseJson(run.out);
    QString expected = QStringLiteral("枠番,馬番,馬名\r\n");
    for (const QJsonValue &value : json["runners"].toArray()) {
        const QJsonObject r = value.toObject();
        const QJsonArray runs = r["runs"].toArray();
        expected += QStringLiteral("%1,%2,%3")
                        .arg(runs[0]["U_waku"].toInt())
                        .arg(r["n"].toInt())
                        .arg(r["U_name"].toString());
        for (const QJsonValue &past : runs) {
            const double figure = past["U_sisuu"].toDouble();
            if (past["run"].toInt() > 0 && figure != 0)
                expected += u',' + QString::number(qint64(std::nearbyint(figure)));
        }
        expected += QStringLiteral("\r\n");
    }
    expected += QStringLiteral("\r\n");
    QStringDecoder cp932("Shift_JIS");
    ASSERT_TRUE(cp932.isValid());
    EXPECT_EQ(QString(cp932.decode(bytes)), expected);
    EXPECT_FALSE(cp932.hasError());
    EXPECT_TRUE(bytes.startsWith("\x98\x67\x94\xd4,"));  // 枠番 in the Japanese code page, not UTF-8
}

TEST_F(CliLoad, AFullDiskKeepsTheOldOutputsAndFailsTheRun)
{
    TestFolder full;
    const SmallTmpfs disk(full.path(), 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << disk.error().toStdString() << ")";
    ASSERT_TRUE(
        QFile::copy(app.file(QStringLiteral("marunoki.dat")), full.file(QStringLiteral("marunoki.dat"))));
    const QString csv = full.write(QStringLiteral("2611290.csv"), "old export\r\n");
    const QString json = full.write(QStringLiteral("race.json"), "{\"old\": true}");
    fillUp(full.file(QStringLiteral("filler")));

    QStringList args = selectionArgs(1) + baseArgs();
    args[args.indexOf(QStringLiteral("--app-dir")) + 1] = full.path();
    const CliRun run = runCli(args + QStringList {QStringLiteral("--csv"), QStringLiteral("--json"), json});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("出力しました").toUtf8())) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(csv.toUtf8())) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(json.toUtf8())) << run.err.toStdString();
    EXPECT_TRUE(lastLine(run.err).endsWith(QStringLiteral("解析済み（書き出せず: --json, --csv）")))
        << run.err.toStdString();
    EXPECT_EQ(fileBytes(csv), QByteArray("old export\r\n"));
    EXPECT_EQ(fileBytes(json), QByteArray("{\"old\": true}"));
}

TEST_F(CliLoad, OnSite1AFailingHorsePageIsNamedAndTheLoadGoesOn)
{
    server.route(horsePath(1, 2), HttpRoute::withStatus(404));
    const CliRun run = load(1);
    // Analysed, but incomplete: the status and the JSON say so.
    EXPECT_EQ(run.exitCode, 4) << run.err.toStdString();
    // One message for the failure; the address and the cause on the detail line.
    EXPECT_EQ(run.messages(), QStringList {QStringLiteral("2番の馬情報が正常に読み込めません")})
        << run.err.toStdString();
    EXPECT_EQ(
        run.details(), QStringList {sampleHorseAddress(race, 1, base, 2) + QStringLiteral(" (HTTP 404)")});
    EXPECT_TRUE(run.detailsFollowMessages());
    const QJsonObject json = parseJson(run.out);
    EXPECT_TRUE(pastRunDates(json, 2).isEmpty());
    EXPECT_EQ(pastRunDates(json, 3).size(), 7);
    EXPECT_EQ(pastRunDates(json, 6).size(), 7);
    EXPECT_FALSE(json[QStringLiteral("complete")].toBool(true));
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(runner(json, n)[QStringLiteral("complete")].toBool(n != 2), n != 2) << n;
        EXPECT_EQ(runner(json, n)[QStringLiteral("missing")].toString().contains(QStringLiteral("HTTP 404")),
            n == 2);
    }
}

// A load that went wrong is never reported as a success: without a readable
// track database it stops (3) before any request and writes nothing; with
// something missing it is analysed but incomplete (4), and the JSON says what.
TEST_F(CliLoad, ALoadThatWentWrongIsNeverReportedAsSuccess)
{
    const QString dat = app.file(QStringLiteral("marunoki.dat"));
    const QString nar = app.file(QStringLiteral("NAR_data.mdb"));
    const QString json = app.file(QStringLiteral("race.json"));
    const QByteArray track = fileBytes(dat).value_or(QByteArray());
    SampleRace duplicate = race;
    duplicate.card.runners[4].numberCell = QStringLiteral("4");
    const struct {
        const char *name;
        std::function<void()> make;
        int exit;
        QString says;  // in a message or the JSON
    } cases[] = {
        {"empty track database", [&] { app.write(QStringLiteral("marunoki.dat"), QByteArray()); }, 3,
            QStringLiteral("dataファイルが開けません")},
        {"track database cut short",
            [&] { app.write(QStringLiteral("marunoki.dat"), track.left(track.size() / 2)); }, 3,
            QStringLiteral("dataファイルが開けません")},
        {"local database unreadable",
            [&] { app.write(QStringLiteral("NAR_data.mdb"), QByteArray(3000, 'x')); }, 4,
            QStringLiteral("\"localDatabase\":{\"state\":\"unreadable\"")},
        {"a repeated horse number on the card", [&] { serveSamplePages(server, duplicate, base); }, 4,
            QStringLiteral("\"leftOut\":[\"4番 サンプルホース05\",\"6番 サンプルホース06\"]")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        app.write(QStringLiteral("marunoki.dat"), track);
        QFile::remove(nar);
        QFile::remove(json);
        serveSamplePages(server, race, base);
        c.make();
        const int requests = server.requestCount();
        // --refresh: the cache still holds the pages of the case before.
        const CliRun run = load(1, {QStringLiteral("--json"), json, QStringLiteral("--refresh")});
        EXPECT_EQ(run.exitCode, c.exit) << run.err.toStdString();
        const QByteArray written = fileBytes(json).value_or(QByteArray());
        if (c.exit == 3) {
            EXPECT_EQ(run.messages(), QStringList {c.says}) << run.err.toStdString();
            ASSERT_EQ(run.details().size(), 1);
            EXPECT_TRUE(run.details()[0].startsWith(dat + QStringLiteral(" (")))
                << run.details()[0].toStdString();
            EXPECT_FALSE(QFile::exists(json));
            EXPECT_EQ(server.requestCount(), requests);
        } else {
            EXPECT_TRUE(QString::fromUtf8(written).contains(c.says)) << written.left(400).toStdString();
            EXPECT_TRUE(written.contains("\"complete\":false")) << written.left(400).toStdString();
        }
    }
}

TEST_F(CliLoad, OnSite2AFailingHorsePageStopsWithStatusThree)
{
    server.route(horsePath(2, 2), HttpRoute::withStatus(404));
    const QString jsonPath = app.file(QStringLiteral("race.json"));
    const CliRun run = load(2, {QStringLiteral("--json"), jsonPath, QStringLiteral("--csv")});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.messages(), QStringList {kCardUnreadable}) << run.err.toStdString();
    EXPECT_EQ(
        run.details(), QStringList {sampleHorseAddress(race, 2, base, 2) + QStringLiteral(" (HTTP 404)")});
    // A stopped load writes nothing, and its last line says so.
    EXPECT_EQ(lastLine(run.err), QStringLiteral("11R 読み込めませんでした（書き出しなし）"));
    EXPECT_FALSE(QFile::exists(jsonPath));
    EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("2611290.csv"))));
}

TEST_F(CliLoad, AnUnreadableCardStopsWithStatusThree)
{
    for (int site : {1, 2}) {
        SCOPED_TRACE(site);
        server.route(path(sampleCardAddress(race, site, base)),
            HttpRoute::html("<html><body><p>準備中</p></body></html>"));
        const CliRun run = load(site);
        EXPECT_EQ(run.exitCode, 3);
        EXPECT_EQ(run.messages(), QStringList {kCardUnreadable});
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(CliLoad, AMissingSelectionIsAUsageErrorNamingTheOptionBeforeAnyRequest)
{
    for (const char *option : {"--course", "--meeting", "--day", "--race"}) {
        QStringList args = selectionArgs(1);
        const qsizetype at = args.indexOf(QString::fromLatin1(option));
        args.remove(at, 2);
        const CliRun run = runCli(args + baseArgs());
        EXPECT_EQ(run.exitCode, 2) << option;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("marunoki-cli: load には %1 が必要です\n")
                                           .arg(QString::fromLatin1(option))
                                           .toUtf8()))
            << run.err.toStdString();
    }
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(CliLoad, ViewOutputsAreWrittenOnlyAfterALoadAndAFailedOneNamesItsFile)
{
    TestFolder out;
    const QString kept = out.write(QStringLiteral("views.json"), "earlier");
    const QString blocker = out.write(QStringLiteral("blocker"), "earlier");
    const QString missing = out.file(QStringLiteral("missing/file"));
    struct Case {
        const char *option;
        QString path;
    };
    const Case cases[] = {
        {"--graphs-pdf", missing},
        {"--table-pdf", missing},
        {"--views-json", missing},
        {"--png", blocker},
        {"--report", blocker},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.option);
        // The other outputs still go through; the run ends with status 1.
        const QString option = QString::fromLatin1(c.option);
        const QString other = option == QStringLiteral("--views-json") ? QStringLiteral("--table-pdf")
                                                                       : QStringLiteral("--views-json");
        const CliRun run = load(1, {option, c.path, other, kept + QStringLiteral(".new")});
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.err).contains(c.path)) << run.err.toStdString();
        EXPECT_TRUE(QFile::exists(kept + QStringLiteral(".new")));
        QFile::remove(kept + QStringLiteral(".new"));
    }

    // A load that stops at a message writes nothing over an earlier file.
    server.route(path(sampleCardAddress(race, 1, base)), HttpRoute::withStatus(404));
    const CliRun stopped = load(1, {QStringLiteral("--refresh"), QStringLiteral("--views-json"), kept});
    EXPECT_EQ(stopped.exitCode, 3);
    QFile file(kept);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("earlier"));
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(CliLoad, OfflineFromAnArchiveGivesIdenticalJson)
{
    addLocalRuns();
    TestFolder archive;
    for (int site : {1, 2}) {
        SCOPED_TRACE(site);
        const CliRun online = load(site,
            {QStringLiteral("--archive"), archive.path(), QStringLiteral("--json"), QStringLiteral("-")});
        ASSERT_EQ(online.exitCode, 0) << online.err.toStdString();
        const int requests = server.requestCount();
        const CliRun offline = load(site,
            {QStringLiteral("--offline"), archive.path(), QStringLiteral("--json"), QStringLiteral("-")});
        ASSERT_EQ(offline.exitCode, 0) << offline.err.toStdString();
        EXPECT_EQ(offline.out, online.out);
        EXPECT_EQ(server.requestCount(), requests);  // nothing from the network
    }
    // A race the folder does not hold is a page missing from the folder, not a
    // network fault.
    QStringList other = selectionArgs(1) + baseArgs();
    other[other.indexOf(QStringLiteral("--race")) + 1] = QStringLiteral("3");
    const CliRun missing = runCli(other + QStringList {QStringLiteral("--offline"), archive.path()});
    EXPECT_EQ(missing.exitCode, 3);
    ASSERT_EQ(missing.details().size(), 1) << missing.err.toStdString();
    EXPECT_TRUE(missing.details()[0].endsWith(QStringLiteral(" (保存されたページにありません)")))
        << missing.err.toStdString();
    // A folder that is not there is a mistyped option, said before anything is read.
    const CliRun absent
        = runCli(other + QStringList {QStringLiteral("--offline"), archive.file(QStringLiteral("absent"))});
    EXPECT_EQ(absent.exitCode, 2);
    EXPECT_TRUE(absent.err.contains("--offline のフォルダ")) << absent.err.toStdString();
}

TEST_F(CliLoad, AnArchiveThatCannotBeWrittenFailsTheRunAndKeepsItsIndex)
{
    TestFolder archive;
    const QString index = archive.write(QStringLiteral("index.tsv"), "http://old.example/a\ta.html\t\n");
    const QString notes = archive.write(QStringLiteral("notes.txt"), "the user's notes");
    ASSERT_TRUE(QFile::setPermissions(index, QFileDevice::ReadOwner));
    const CliRun run = load(
        1, {QStringLiteral("--archive"), archive.path(), QStringLiteral("--json"), QStringLiteral("-")});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(index.toUtf8())) << run.err.toStdString();
    EXPECT_EQ(fileBytes(index), QByteArray("http://old.example/a\ta.html\t\n"));
    EXPECT_EQ(fileBytes(notes), QByteArray("the user's notes"));
}

TEST_F(CliLoad, SiteAndAddressesComeFromTheSettingsFileUnlessGiven)
{
    const QByteArray ini
        = QStringLiteral("[site]\r\nsite=サイト2\r\n[web]\r\nsite1=http://127.0.0.1:%1\r\nsite2=%2\r\n")
              .arg(closedPort())
              .arg(base)
              .toUtf8();
    app.write(QStringLiteral("marunoki.ini"), ini);
    QStringList args = selectionArgs(2);
    args.remove(args.indexOf(QStringLiteral("--site")), 2);
    const CliRun fromSettings = runCli(args + QStringList {QStringLiteral("--json"), QStringLiteral("-")});
    ASSERT_EQ(fromSettings.exitCode, 0) << fromSettings.err.toStdString();
    EXPECT_EQ(
        runner(parseJson(fromSettings.out), 1)["U_Url"].toString(), sampleHorseAddress(race, 2, base, 1));

    // --base1 wins over the settings file's unusable Site 1 address.
    const CliRun overridden = runCli(selectionArgs(1)
        + QStringList {
            QStringLiteral("--base1"), base + u'/', QStringLiteral("--json"), QStringLiteral("-")});
    ASSERT_EQ(overridden.exitCode, 0) << overridden.err.toStdString();
    EXPECT_EQ(runner(parseJson(overridden.out), 1)["U_Url"].toString(), sampleHorseAddress(race, 1, base, 1));
}

TEST_F(CliLoad, ASiteWithoutAnAddressIsAUsageError)
{
    const CliRun run = runCli(selectionArgs(1));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("サイト1のアドレスがありません").toUtf8()))
        << run.err.toStdString();
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(CliLoad, SaysWhatIsWrongWithTheSettingsInsteadOfAMissingKey)
{
    const QString ini = app.file(QStringLiteral("marunoki.ini"));
    const struct {
        const char *name;
        QStringList args;
        std::function<void()> make;
        QStringList expected;
        bool missingAppDir = false;
    } cases[] = {
        {"no such application folder", {}, [] {},
            {QStringLiteral("アプリケーションフォルダ"), QStringLiteral("がありません")}, true},
        {"settings file is a folder", {QStringLiteral("--site"), QStringLiteral("1")},
            [&] { QDir().mkpath(ini); }, {ini, QStringLiteral("フォルダです")}},
        {"settings file of 5 MB", {QStringLiteral("--site"), QStringLiteral("1")},
            [&] { app.write(QStringLiteral("marunoki.ini"), QByteArray(5 * 1024 * 1024, ';')); },
            {ini, QStringLiteral("大きすぎます")}},
        {"settings file in UTF-16", {QStringLiteral("--site"), QStringLiteral("1")},
            [&] { app.write(QStringLiteral("marunoki.ini"), QByteArray("\xFF\xFE[\0w\0e\0b\0]\0", 12)); },
            {ini, QStringLiteral("UTF-16")}},
        {"no settings file", {QStringLiteral("--site"), QStringLiteral("1")}, [] {},
            {ini, QStringLiteral("がありません")}},
        {"a site that names no site", {},
            [&] { app.write(QStringLiteral("marunoki.ini"), "[site]\r\nsite=foo\r\n"); },
            {ini, QStringLiteral("site=foo")}},
        // The settings read stops at a value it cannot use: the site is never
        // read, whether or not --site is given.
        {"kakeritu not a number", {QStringLiteral("--site"), QStringLiteral("1")},
            [&] { app.write(QStringLiteral("marunoki.ini"), "[graph]\r\nkakeritu=abc\r\n"); },
            {ini, QStringLiteral("kakeritu=abc")}},
        {"kakeritu out of range", {},
            [&] {
                app.write(
                    QStringLiteral("marunoki.ini"), "[graph]\r\nkakeritu=1.5\r\n[site]\r\nsite=サイト1\r\n");
            },
            {ini, QStringLiteral("kakeritu=1.5")}},
        {"writeHyo not a number", {QStringLiteral("--site"), QStringLiteral("2")},
            [&] { app.write(QStringLiteral("marunoki.ini"), "[graph]\r\nwriteHyo=x1\r\n"); },
            {ini, QStringLiteral("writeHyo=x1")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QDir(ini).removeRecursively();
        QFile::remove(ini);
        c.make();
        QStringList args = selectionArgs(1);
        args.remove(args.indexOf(QStringLiteral("--site")), 2);
        if (c.missingAppDir)
            args[args.indexOf(QStringLiteral("--app-dir")) + 1] = app.file(QStringLiteral("missing"));
        const CliRun run = runCli(args + c.args);
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        for (const QString &text : c.expected)
            EXPECT_TRUE(run.err.contains(text.toUtf8())) << run.err.toStdString();
        EXPECT_EQ(server.requestCount(), 0);
    }
}

TEST_F(CliLoad, TimeoutBoundsTheWaitForAPage)
{
    server.route(path(sampleCardAddress(race, 1, base)), HttpRoute::neverAnswer());
    QElapsedTimer timer;
    timer.start();
    const CliRun run = load(1, {QStringLiteral("--timeout"), QStringLiteral("0.5")});
    EXPECT_LT(timer.elapsed(), 20000);  // far below the 30 s default
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.messages(), QStringList {kCardUnreadable}) << run.err.toStdString();
    ASSERT_EQ(run.details().size(), 1) << run.err.toStdString();
    EXPECT_TRUE(run.details()[0].startsWith(sampleCardAddress(race, 1, base) + QStringLiteral(" (制限時間")));
}

TEST_F(CliLoad, JobsBoundsThePagesInFlight)
{
    // --jobs alone (the fixture's settings set no rate): at the default rate,
    // requests 150 ms long would never overlap.
    for (int n = 1; n <= 6; ++n) {
        const QString horse = sampleHorseAddress(race, 1, base, n);
        server.route(path(horse),
            HttpRoute::html(samplePageBytes(samplePages(race, 1, base).value(horse)), "UTF-8").delayed(150));
    }
    const CliRun one = load(
        1, {QStringLiteral("--jobs"), QStringLiteral("1"), QStringLiteral("--json"), QStringLiteral("-")});
    ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_EQ(server.maxConcurrentRequests(), 1);

    HttpTestServer second;  // a fresh count of requests in flight
    const QMap<QString, QString> pages = samplePages(race, 1, second.url(QString()));
    for (auto page = pages.begin(); page != pages.end(); ++page)
        second.route(page.key().mid(second.url(QString()).size()),
            HttpRoute::html(samplePageBytes(page.value()), "UTF-8").delayed(150));
    const CliRun three = runCli(selectionArgs(1)
        + QStringList {QStringLiteral("--base1"), second.url(QString()), QStringLiteral("--jobs"),
            QStringLiteral("3"), QStringLiteral("--json"), QStringLiteral("-")});
    ASSERT_EQ(three.exitCode, 0) << three.err.toStdString();
    EXPECT_LE(second.maxConcurrentRequests(), 3);
    EXPECT_GT(second.maxConcurrentRequests(), 1);
    // The result does not depend on how many pages were on their way at once.
    EXPECT_EQ(three.out, QByteArray(one.out).replace(base.toUtf8(), second.url(QString()).toUtf8()));
}

TEST_F(CliLoad, CtrlCStopsTheLoadLikeTheStopButton)
{
    server.route(horsePath(1, 3), HttpRoute::neverAnswer());
    // SIGTERM (a service manager, kill) stops a load as Ctrl-C does.
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        QProcess process;
        process.start(QStringLiteral(MARUNOKI_CLI_PATH),
            selectionArgs(1) + baseArgs() + QStringList {QStringLiteral("--json"), QStringLiteral("-")});
        ASSERT_TRUE(process.waitForStarted());
        // Wait for the load to hang on runner 3's page, then press Ctrl-C.
        QByteArray err;
        QElapsedTimer timer;
        timer.start();
        while (!err.contains("03/06") && timer.elapsed() < 20000) {
            process.waitForReadyRead(100);
            err += process.readAllStandardError();
        }
        ASSERT_TRUE(err.contains("03/06")) << err.toStdString();
        ::kill(pid_t(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(10000));
        err += process.readAllStandardError();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 3);
        CliRun run;
        run.err = err;
        EXPECT_EQ(run.messages(), QStringList {QStringLiteral("処理を中止します（ユーザーキャンセル）")});
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    }
}

// Every output option of every command, by any name of the application
// folder's own files or its cache, is refused before anything is fetched or
// opened, and those files stay as they were.
TEST_F(CliLoad, AnOutputOnTheApplicationFoldersOwnFilesIsRefused)
{
    const QString ini = app.write(QStringLiteral("marunoki.ini"), "[web]\n");
    QDir().mkpath(app.file(QStringLiteral("cache")));
    QDir().mkpath(app.file(QStringLiteral("sub")));
    TestFolder other;
    QFile::link(app.path(), other.file(QStringLiteral("app")));
    const QString dat = app.file(QStringLiteral("marunoki.dat"));
    const std::optional<QByteArray> datBytes = fileBytes(dat);
    ASSERT_EQ(::link(QFile::encodeName(dat).constData(),
                  QFile::encodeName(other.file(QStringLiteral("hard.json"))).constData()),
        0);
    const QStringList loadArgs = selectionArgs(1) + baseArgs();
    const QStringList dayArgs
        = QStringList {QStringLiteral("--app-dir"), app.path(), QStringLiteral("day"),
              QStringLiteral("--site"), QStringLiteral("1"), QStringLiteral("--year"), QStringLiteral("2026"),
              QStringLiteral("--course"), QStringLiteral("東京"), QStringLiteral("--meeting"),
              QStringLiteral("5"), QStringLiteral("--day"), QStringLiteral("9"), QStringLiteral("--races"),
              QStringLiteral("11-11")}
        + baseArgs();
    const auto journalArgs = [&](const char *command) {
        return QStringList {QStringLiteral("--app-dir"), app.path(), QString::fromLatin1(command)};
    };
    const struct {
        const char *option;
        QString path;
        QStringList command;
    } cases[] = {
        {"--report", app.file(QStringLiteral("cache")), dayArgs},
        {"--json-dir", other.file(QStringLiteral("app/cache/json")), dayArgs},
        {"--archive", app.file(QStringLiteral("marunoki.ini")), dayArgs},
        {"--csv", other.file(QStringLiteral("hard.json")), journalArgs("tally")},
        {"--html", app.file(QStringLiteral("cache/tally")), journalArgs("tally")},
        {"--export", app.file(QStringLiteral("journal.sqlite")), journalArgs("marks")},
        {"--json", dat, {}},
        {"--json", other.file(QStringLiteral("hard.json")), {}},
        {"--views-json", other.file(QStringLiteral("app/marunoki.ini")), {}},
        {"--graphs-pdf", app.file(QStringLiteral("sub/../marunoki.dat")), {}},
        {"--table-pdf", app.file(QStringLiteral("NAR_data.mdb")), {}},
        {"--png", app.file(QStringLiteral("cache")), {}},
        {"--report", other.file(QStringLiteral("app/cache/report")), {}},
        {"--archive", app.file(QStringLiteral("cache/")), {}},
        {"--json", app.file(QStringLiteral("journal.sqlite")), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(
            (c.command.isEmpty() ? QStringLiteral("load") : c.command[2]).toStdString() + ' ' + c.option);
        const CliRun run = runCli((c.command.isEmpty() ? loadArgs : c.command)
            + QStringList {QString::fromLatin1(c.option), c.path});
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("アプリケーションフォルダ").toUtf8()))
            << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(QStringLiteral("出馬表読込み中").toUtf8()));
        EXPECT_EQ(fileBytes(dat), datBytes);
        EXPECT_EQ(fileBytes(ini), std::optional(QByteArray("[web]\n")));
        EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("NAR_data.mdb"))));
        EXPECT_FALSE(QFile::exists(app.file(QStringLiteral("journal.sqlite"))));
        EXPECT_EQ(QDir(app.file(QStringLiteral("cache"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
            QStringList());
    }
}

// A name of bytes that are not UTF-8 is written under those very bytes.
TEST_F(CliLoad, AnOutputNameThatIsNotUtf8KeepsItsBytes)
{
    TestFolder out;
    QProcess process;
    process.setWorkingDirectory(out.path());
    // The shell hands over the raw bytes, which QProcess's text arguments cannot.
    process.start(QStringLiteral("/bin/sh"),
        QStringList {QStringLiteral("-c"),
            QStringLiteral("exec \"$0\" \"$@\" --json \"$(printf 'r\\377\\223.json')\""),
            QStringLiteral(MARUNOKI_CLI_PATH)}
            + selectionArgs(1) + baseArgs());
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QByteArray written = QFile::encodeName(out.path()) + "r\xff\x93.json";
    EXPECT_EQ(::access(written.constData(), F_OK), 0);
    // Qt cannot list or remove such a name; the system calls can.
    EXPECT_EQ(::unlink(written.constData()), 0);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).size(), 0);
}

TEST(CliImportMdb, RefusesAFileThatIsNotAnAccessDatabase)
{
    TestFolder folder;
    const QString source = folder.write(QStringLiteral("not.mdb"), "plain text, not a database");
    const CliRun run
        = runCli({QStringLiteral("import-mdb"), source, folder.file(QStringLiteral("out.sqlite"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("marunoki-cli: ")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("out.sqlite"))));
}

TEST(CliImportMdb, NeverReplacesTheAccessFileItReads)
{
    TestFolder folder;
    const QString source
        = folder.copyIn(testData(QStringLiteral("access/jet4-empty.mdb")), QStringLiteral("a.mdb"));
    QFile::link(source, folder.file(QStringLiteral("link.sqlite")));
    for (const QString &dest : {source, folder.file(QStringLiteral("link.sqlite"))}) {
        const CliRun run = runCli({QStringLiteral("import-mdb"), source, dest});
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("そのものです").toUtf8())) << run.err.toStdString();
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.read(32).contains("Standard Jet DB"));
    }
}

// The destination is checked against the application folder in force, however
// it was chosen, as every other command's outputs are.
TEST(CliImportMdb, NeverReplacesTheApplicationFoldersOwnFiles)
{
    TestFolder home, other;
    const QString user = home.file(QStringLiteral(".local/share/marunoki/"));
    const QString named = other.file(QStringLiteral("app/"));
    for (const QString &folder : {user, named}) {
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("cache")));
        for (const char *name :
            {"marunoki.ini", "marunoki.dat", "NAR_data.mdb", "journal.sqlite-wal", "cache/page"}) {
            QFile file(folder + QLatin1String(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("own file ") + name);
        }
    }
    ASSERT_TRUE(
        QFile::link(named + QStringLiteral("marunoki.ini"), other.file(QStringLiteral("link.sqlite"))));
    const QString source = testData(QStringLiteral("access/jet4-empty.mdb"));
    const QString importMdb = QStringLiteral("import-mdb");
    const QString appDir = QStringLiteral("--app-dir");
    const struct {
        const char *label;
        QStringList arguments;
        QMap<QString, QString> environment;
        QString kept;  // the file the import would have replaced; empty = the import is allowed
    } cases[] = {
        {"--app-dir before the command", {appDir, named, importMdb, source, named + "marunoki.ini"}, {},
            named + "marunoki.ini"},
        {"--app-dir after the command", {importMdb, appDir, named, source, named + "marunoki.dat"}, {},
            named + "marunoki.dat"},
        {"MARUNOKI_APP_DIR", {importMdb, source, named + "NAR_data.mdb"}, {{"MARUNOKI_APP_DIR", named}},
            named + "NAR_data.mdb"},
        {"the user folder", {importMdb, source, user + "journal.sqlite-wal"}, {},
            user + "journal.sqlite-wal"},
        {"a file of the cache", {appDir, named, importMdb, source, named + "cache/page"}, {},
            named + "cache/page"},
        {"a link to the settings", {appDir, named, importMdb, source, other.file("link.sqlite")}, {},
            named + "marunoki.ini"},
        {"another file of the folder", {appDir, named, importMdb, source, named + "copy.sqlite"}, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        QByteArray before;
        if (!c.kept.isEmpty()) {
            QFile file(c.kept);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            before = file.readAll();
        }
        const CliRun run = runCliAt(home.path(), c.arguments, home.path(), c.environment);
        if (c.kept.isEmpty()) {
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            continue;
        }
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("アプリケーションフォルダの").toUtf8()))
            << run.err.toStdString();
        QFile file(c.kept);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before);
    }
}

TEST(CliImportMdb, CopiesAnAccessFileIntoSqlite)
{
    TestFolder folder;
    const QString dest = folder.file(QStringLiteral("types.sqlite"));
    const CliRun run
        = runCli({QStringLiteral("import-mdb"), testData(QStringLiteral("access/jet4-types.mdb")), dest});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(dest);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(16).startsWith("SQLite format 3"));
}

}  // namespace
}  // namespace marunoki::test
