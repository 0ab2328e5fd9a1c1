#include "settings/settings.h"
#include "support/qt_print.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace marunoki;
using marunoki::test::TestFolder;

namespace {

const QString kAE02 = QStringLiteral("ini読込みエラー(err-AE02)");

struct Loaded {
    Settings settings;
    QStringList messages;
};

Loaded load(const TestFolder &dir)
{
    RecordingSink sink;
    const Settings s = readSettings(AppFolder(dir.path()), sink);
    return {s, sink.messages()};
}

void expectOverlays(const Settings &s, const char *value)
{
    for (int i = 0; i < kGraphOverlayCount; ++i)
        EXPECT_EQ(s.iniGraph[static_cast<size_t>(i)], QString::fromUtf8(value)) << i;
}

}  // namespace

TEST(ReadSettings, GivesEveryDefaultWithoutAFile)
{
    TestFolder dir;
    const Loaded r = load(dir);
    EXPECT_TRUE(r.messages.isEmpty());
    expectOverlays(r.settings, "true");
    EXPECT_EQ(r.settings.writeHyo, QStringLiteral("1"));
    EXPECT_EQ(r.settings.tableCheck, 1);
    EXPECT_EQ(r.settings.kakeritu, 0.3f);
    EXPECT_EQ(r.settings.site, ReadingSite::One);
    EXPECT_TRUE(r.settings.site1Base.isEmpty());
    EXPECT_TRUE(r.settings.site2Base.isEmpty());
    EXPECT_EQ(readTrackDataFolder(AppFolder(dir.path())), QStringLiteral("C:\\"));
}

TEST(ReadSettings, SaysWhyAnUnreadableFileGivesTheDefaults)
{
    TestFolder dir;
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("marunoki.ini"))));
    const Loaded r = load(dir);
    ASSERT_EQ(r.messages.size(), 1);
    EXPECT_TRUE(r.messages[0].contains(dir.file(QStringLiteral("marunoki.ini"))))
        << r.messages[0].toStdString();
    EXPECT_TRUE(r.messages[0].contains(QStringLiteral("フォルダです"))) << r.messages[0].toStdString();
    EXPECT_EQ(r.settings.site, ReadingSite::One);
    EXPECT_EQ(r.settings.kakeritu, 0.3f);
}

TEST(ReadSettings, TakesTheDefaultForAnEmptyValue)
{
    TestFolder dir;
    dir.write(QStringLiteral("marunoki.ini"),
        "[graph]\r\niniGraph(0)=\r\niniGraph(1)=false\r\nwriteHyo=\r\nkakeritu=  \r\n[site]\r\nsite=\r\n");
    const Loaded r = load(dir);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(r.settings.iniGraph[0], QStringLiteral("true"));
    EXPECT_EQ(r.settings.iniGraph[1], QStringLiteral("false"));
    EXPECT_EQ(r.settings.writeHyo, QStringLiteral("1"));
    EXPECT_EQ(r.settings.kakeritu, 0.3f);
    EXPECT_EQ(r.settings.site, ReadingSite::One);
}

TEST(ReadSettings, KeepsTextsAsWrittenSoOnlyLowerCaseTrueSwitchesOn)
{
    TestFolder dir;
    dir.write(
        QStringLiteral("marunoki.ini"), "[GRAPH]\nINIGRAPH(2)=True\niniGraph(3)=TRUE\niniGraph(4)=false\n");
    const Loaded r = load(dir);
    EXPECT_EQ(r.settings.iniGraph[2], QStringLiteral("True"));
    EXPECT_NE(r.settings.iniGraph[2], QStringLiteral("true"));
    EXPECT_EQ(r.settings.iniGraph[3], QStringLiteral("TRUE"));
    EXPECT_EQ(r.settings.iniGraph[4], QStringLiteral("false"));
    EXPECT_EQ(r.settings.iniGraph[5], QStringLiteral("true"));
}

TEST(ReadSettings, StopsAtAKakerituThatIsNotAShare)
{
    for (const char *bad : {"abc", "0,3", "30%", "1.5", "-0.1", "0.3.1"}) {
        TestFolder dir;
        dir.write(QStringLiteral("marunoki.ini"),
            QByteArray("[graph]\niniGraph(6)=false\nwriteHyo=0\nkakeritu=") + bad
                + "\n[site]\nsite=サイト2\n[web]\nsite1=https://one.example\nsite2=https://two.example\n");
        const Loaded r = load(dir);
        EXPECT_EQ(r.messages, QStringList {kAE02}) << bad;
        EXPECT_EQ(r.settings.iniGraph[6], QStringLiteral("false")) << bad;  // read before the fault
        EXPECT_EQ(r.settings.writeHyo, QStringLiteral("0")) << bad;
        EXPECT_EQ(r.settings.kakeritu, 0.0f) << bad;
        EXPECT_FALSE(r.settings.tableCheck.has_value()) << bad;  // the box keeps its design state
        EXPECT_TRUE(readingSiteText(r.settings.site, r.settings.otherSite).isEmpty()) << bad;
        // The site addresses are ours and do not depend on the older keys.
        EXPECT_EQ(r.settings.site1Base, QStringLiteral("https://one.example")) << bad;
        EXPECT_EQ(r.settings.site2Base, QStringLiteral("https://two.example")) << bad;
    }
}

TEST(ReadSettings, StopsAtAWriteHyoThatIsNoCheckBoxState)
{
    for (const char *bad : {"yes", "3", "-1", "1e1"}) {
        TestFolder dir;
        dir.write(QStringLiteral("marunoki.ini"),
            QByteArray("[graph]\nwriteHyo=") + bad + "\nkakeritu=0.35\n[site]\nsite=サイト2\n");
        const Loaded r = load(dir);
        EXPECT_EQ(r.messages, QStringList {kAE02}) << bad;
        EXPECT_EQ(r.settings.writeHyo, QString::fromUtf8(bad));
        EXPECT_EQ(r.settings.kakeritu, 0.35f) << bad;  // read before the box is set
        EXPECT_FALSE(r.settings.tableCheck.has_value()) << bad;
        EXPECT_TRUE(readingSiteText(r.settings.site, r.settings.otherSite).isEmpty()) << bad;
    }
}

TEST(ReadSettings, ReadsNumbersTheWayTheConversionsDo)
{
    const struct {
        const char *writeHyo;
        const char *kakeritu;
        qint32 check;
        float share;
    } cases[] = {
        {"0", "0.35", 0, 0.35f},
        {" 1 ", "0", 1, 0.0f},
        {"2", "1", 2, 1.0f},
        {"0.5", ".05", 0, 0.05f},
        {"1.5", "0.3", 2, 0.3f},
    };
    for (const auto &c : cases) {
        TestFolder dir;
        dir.write(QStringLiteral("marunoki.ini"),
            QByteArray("[graph]\nwriteHyo=") + c.writeHyo + "\nkakeritu=" + c.kakeritu + "\n");
        const Loaded r = load(dir);
        EXPECT_TRUE(r.messages.isEmpty()) << c.writeHyo << " " << c.kakeritu;
        EXPECT_EQ(r.settings.tableCheck, c.check) << c.writeHyo;
        EXPECT_EQ(r.settings.kakeritu, c.share) << c.kakeritu;
    }
}

TEST(ReadSettings, ReadsAShiftJisFileFromTheWindowsProgram)
{
    TestFolder dir;
    // "; 設定" comment and site=サイト2, in CP932.
    dir.write(QStringLiteral("marunoki.ini"),
        "; \x90\xdd\x92\xe8\r\n[graph]\r\nkakeritu=0.4\r\n[site]\r\nsite=\x83\x54\x83\x43\x83\x67\x32\r\n");
    const Loaded r = load(dir);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(r.settings.site, ReadingSite::Two);
    EXPECT_EQ(r.settings.kakeritu, 0.4f);
}

TEST(ReadSettings, NeverCrashesOnGarbage)
{
    TestFolder dir;
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) % 251));
    dir.write(QStringLiteral("marunoki.ini"), "[graph]\n" + garbage + "\n[site]\n" + garbage);
    const Loaded r = load(dir);
    // Whatever it holds, the result is either a full reading or the AE02 stop.
    if (r.messages.isEmpty())
        EXPECT_FALSE(readingSiteText(r.settings.site, r.settings.otherSite).isEmpty());
    else
        EXPECT_EQ(r.messages, QStringList {kAE02});
}

TEST(SettingsWriters, WriteWhatTheReaderReadsBack)
{
    TestFolder dir;
    const AppFolder folder(dir.path());
    ASSERT_TRUE(writeGraphOverlay(folder, 0, QStringLiteral("false")).ok());
    ASSERT_TRUE(writeGraphOverlay(folder, 6, QStringLiteral("false")).ok());
    ASSERT_TRUE(writeTableCheck(folder, 0).ok());
    ASSERT_TRUE(writeKakeritu(folder, 35 / 100.0f).ok());
    ASSERT_TRUE(writeSite(folder, QStringLiteral("サイト2")).ok());
    ASSERT_TRUE(writeTrackDataFolder(folder, QStringLiteral("/home/user/data/")).ok());

    QFile f(dir.file(QStringLiteral("marunoki.ini")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.contains("\r\nkakeritu=0.35\r\n"));
    EXPECT_TRUE(bytes.contains("writeHyo=0\r\n"));
    EXPECT_TRUE(bytes.contains("site=\x83\x54\x83\x43\x83\x67\x32\r\n"));

    const Loaded r = load(dir);
    EXPECT_TRUE(r.messages.isEmpty());
    EXPECT_EQ(r.settings.iniGraph[0], QStringLiteral("false"));
    EXPECT_EQ(r.settings.iniGraph[1], QStringLiteral("true"));
    EXPECT_EQ(r.settings.iniGraph[6], QStringLiteral("false"));
    EXPECT_EQ(r.settings.tableCheck, 0);
    EXPECT_EQ(r.settings.kakeritu, 0.35f);
    EXPECT_EQ(r.settings.site, ReadingSite::Two);
    EXPECT_EQ(readTrackDataFolder(folder), QStringLiteral("/home/user/data/"));
}

TEST(SettingsWriters, RefuseAnOverlayNumberOutsideTheSeven)
{
    TestFolder dir;
    const AppFolder folder(dir.path());
    EXPECT_FALSE(writeGraphOverlay(folder, 7, QStringLiteral("true")).ok());
    EXPECT_FALSE(writeGraphOverlay(folder, -1, QStringLiteral("true")).ok());
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("marunoki.ini"))));
}

TEST(ReadSettings, ReadsThePageCacheSectionAndKeepsTheDefaultOfABadValue)
{
    const struct {
        QString section;
        CacheSettings expected;
        bool complains;
    } cases[] = {
        {QString(), {1, 6, 1, 500}, false},
        {QStringLiteral("cardHours=0.5\r\nhorseHours=24\r\ncalendarHours=0\r\nsizeMB=50\r\n"),
            {0.5, 24, 0, 50}, false},
        {QStringLiteral("cardHours=abc\r\nhorseHours=2\r\n"), {1, 2, 1, 500}, true},
        {QStringLiteral("calendarHours=-1\r\nsizeMB=1e9\r\n"), {1, 6, 1, 500}, true},
    };
    for (const auto &c : cases) {
        TestFolder dir;
        dir.write(QStringLiteral("marunoki.ini"), (QStringLiteral("[cache]\r\n") + c.section).toUtf8());
        const Loaded loaded = load(dir);
        const CacheSettings &got = loaded.settings.cache;
        EXPECT_EQ(got.cardHours, c.expected.cardHours) << c.section.toStdString();
        EXPECT_EQ(got.horseHours, c.expected.horseHours) << c.section.toStdString();
        EXPECT_EQ(got.calendarHours, c.expected.calendarHours) << c.section.toStdString();
        EXPECT_EQ(got.sizeMegabytes, c.expected.sizeMegabytes) << c.section.toStdString();
        const bool complained = !loaded.messages.isEmpty()
            && loaded.messages.first().startsWith(QStringLiteral("キャッシュの設定"));
        EXPECT_EQ(complained, c.complains) << c.section.toStdString();
    }
}

TEST(ReadSettings, ReadsTheRequestRateAndKeepsTheDefaultOfABadValue)
{
    const struct {
        const char *value;  // nullptr: no key
        double rate;
        bool complains;
    } cases[] = {
        {nullptr, 4, false},
        {"", 4, false},
        {"0", 0, false},  // no limit
        {"0.5", 0.5, false},
        {" 10 ", 10, false},
        {"1000", 1000, false},
        {"-1", 4, true},
        {"fast", 4, true},
        {"1001", 4, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(none)");
        TestFolder dir;
        QByteArray ini = "[web]\r\nsite1=https://one.example\r\n";
        if (c.value)
            ini += QByteArray("rate=") + c.value + "\r\n";
        dir.write(QStringLiteral("marunoki.ini"), ini);
        const Loaded loaded = load(dir);
        EXPECT_EQ(loaded.settings.requestRate, c.rate);
        ASSERT_EQ(loaded.messages.size(), c.complains ? 1 : 0);
        if (c.complains) {
            EXPECT_TRUE(loaded.messages[0].contains(QStringLiteral("rate=") + QString::fromLatin1(c.value)))
                << loaded.messages[0].toStdString();
        }
        // The key beside it is read as ever.
        EXPECT_EQ(loaded.settings.site1Base, QStringLiteral("https://one.example"));
    }
}

// Only the exact text "true" switches an overlay on, while any stored text puts it
// in the legend: the graph and the legend must not disagree about a switch the
// user never set.
TEST(Settings, OverlaySwitchesOnlyByTheExactTextTrue)
{
    struct Case {
        QString text;
        bool on;
        bool stored;
    };
    const Case cases[] = {{QStringLiteral("true"), true, true}, {QStringLiteral("false"), false, true},
        {QString(), false, false}, {QStringLiteral("True"), false, true},
        {QStringLiteral(" true"), false, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        std::array<QString, kGraphOverlayCount> iniGraph;
        iniGraph[static_cast<size_t>(Overlay::Going)] = c.text;
        EXPECT_EQ(overlayOn(iniGraph, Overlay::Going), c.on);
        EXPECT_EQ(overlayStored(iniGraph, Overlay::Going), c.stored);
        EXPECT_FALSE(overlayStored(iniGraph, Overlay::Distance));
    }
}

TEST(PrepareUserFolder, MakesTheFolderWithDefaultsAndLeavesAnExistingFileAlone)
{
    TestFolder home;
    const AppFolder fresh(home.file(QStringLiteral("share/marunoki")));
    ASSERT_TRUE(prepareUserFolder(fresh).ok());
    // The default file reads without a message and gives the reader's defaults.
    RecordingSink sink;
    const Settings s = readSettings(fresh, sink);
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'\n').toStdString();
    EXPECT_EQ(s.site, ReadingSite::One);
    EXPECT_TRUE(s.site1Base.isEmpty());
    EXPECT_EQ(s.kakeritu, 0.3f);

    // A second start, or a folder the user set up, keeps what is there.
    const QString ini
        = home.write(QStringLiteral("share/marunoki/marunoki.ini"), "[site]\r\nsite=サイト2\r\n");
    ASSERT_TRUE(prepareUserFolder(fresh).ok());
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[site]\r\nsite=サイト2\r\n"));

    // A folder that cannot be made says which.
    const QString blocker = home.write(QStringLiteral("file"), "x");
    const Status blocked = prepareUserFolder(AppFolder(blocker + QStringLiteral("/marunoki")));
    EXPECT_FALSE(blocked.ok());
    EXPECT_TRUE(blocked.message().contains(blocker)) << blocked.message().toStdString();
}
