#include "settings/options_model.h"

#include "settings/ini_file.h"
#include "support/qt_print.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

Settings usualSettings()
{
    Settings s;
    s.iniGraph.fill(QStringLiteral("true"));
    s.kakeritu = 0.3f;
    s.site = ReadingSite::One;
    return s;
}

std::optional<QString> stored(const TestFolder &dir, const char *section, const QString &key)
{
    return IniFile::read(dir.file(QStringLiteral("marunoki.ini"))).value(QString::fromUtf8(section), key);
}

}  // namespace

TEST(OptionsModel, TicksOnlyTheOverlaysThatAreExactlyTrue)
{
    Settings s = usualSettings();
    s.iniGraph = {QStringLiteral("true"), QStringLiteral("false"), QStringLiteral("True"), QString(),
        QStringLiteral("true "), QStringLiteral("1"), QStringLiteral("true")};
    const OptionsModel model(s);
    const bool expected[] = {true, false, false, false, false, false, true};
    for (int i = 0; i < kGraphOverlayCount; ++i)
        EXPECT_EQ(model.overlay(i), expected[i]) << i;
    EXPECT_FALSE(model.overlay(-1));
    EXPECT_FALSE(model.overlay(kGraphOverlayCount));
}

TEST(OptionsModel, ShowsTheShareOnTheSliderAndInTheStatus)
{
    const struct {
        float kakeritu;
        int slider;
        const char *status;
    } cases[] = {
        {0.3f, 30, "上位30%ライン表示中"},
        {0.35f, 35, "上位35%ライン表示中"},
        {0.05f, 5, "上位05%ライン表示中"},
        {0.0f, 0, "上位00%ライン表示中"},
        {1.0f, 100, "上位100%ライン表示中"},
        // Halves go to the even neighbour on the slider; the status text rounds
        // them away from zero, as the percentage format does.
        {0.125f, 12, "上位13%ライン表示中"},
        {0.375f, 38, "上位38%ライン表示中"},
        {0.333f, 33, "上位33%ライン表示中"},
    };
    for (const auto &c : cases) {
        Settings s = usualSettings();
        s.kakeritu = c.kakeritu;
        const OptionsModel model(s);
        EXPECT_EQ(model.slider(), c.slider) << c.kakeritu;
        EXPECT_EQ(model.statusText(), QString::fromUtf8(c.status)) << c.kakeritu;
    }
}

TEST(OptionsModel, TellsASliderChangeAndKeepsItInRange)
{
    OptionsModel model(usualSettings());
    const struct {
        int moved;
        int slider;
        const char *status;
    } cases[] = {
        {35, 35, "上位35%ラインに変更"},
        {5, 5, "上位05%ラインに変更"},
        {100, 100, "上位100%ラインに変更"},
        {0, 0, "上位00%ラインに変更"},
        {150, 100, "上位100%ラインに変更"},
        {-3, 0, "上位00%ラインに変更"},
    };
    for (const auto &c : cases) {
        model.setSlider(c.moved);
        EXPECT_EQ(model.slider(), c.slider) << c.moved;
        EXPECT_EQ(model.statusText(), QString::fromUtf8(c.status)) << c.moved;
    }
}

TEST(OptionsModel, OffersBothSitesAndTheOverlayLabelsInOrder)
{
    EXPECT_EQ(
        OptionsModel::siteItems(), (QStringList {QStringLiteral("サイト1"), QStringLiteral("サイト2")}));
    const auto &labels = OptionsModel::overlayLabels();
    EXPECT_EQ(QStringList(labels.begin(), labels.end()),
        (QStringList {QStringLiteral("馬体重"), QStringLiteral("枠番"), QStringLiteral("距離"),
            QStringLiteral("馬場"), QStringLiteral("1コーナー通過順"), QStringLiteral("着順"),
            QStringLiteral("上がり指数")}));
}

TEST(OptionsModel, SavesEverySettingToMemoryAndFile)
{
    TestFolder dir;
    const AppFolder folder(dir.path());
    Settings s = usualSettings();
    OptionsModel model(s);
    model.setOverlay(1, false);
    model.setOverlay(4, false);
    model.setSlider(35);
    model.setSite(QStringLiteral("サイト2"));

    ASSERT_TRUE(model.save(folder, s).ok());

    const char *expected[] = {"true", "false", "true", "true", "false", "true", "true"};
    for (int i = 0; i < kGraphOverlayCount; ++i) {
        EXPECT_EQ(s.iniGraph[static_cast<size_t>(i)], QString::fromUtf8(expected[i])) << i;
        EXPECT_EQ(stored(dir, "graph", QStringLiteral("iniGraph(%1)").arg(i)), QString::fromUtf8(expected[i]))
            << i;
    }
    EXPECT_EQ(s.kakeritu, 0.35f);
    EXPECT_EQ(stored(dir, "graph", QStringLiteral("kakeritu")), QStringLiteral("0.35"));
    EXPECT_EQ(s.site, ReadingSite::Two);
    EXPECT_EQ(stored(dir, "site", QStringLiteral("site")), QStringLiteral("サイト2"));
}

TEST(OptionsModel, ReopensWithTheSavedShare)
{
    TestFolder dir;
    const AppFolder folder(dir.path());
    Settings s = usualSettings();
    OptionsModel first(s);
    first.setSlider(35);
    ASSERT_TRUE(first.save(folder, s).ok());

    RecordingSink sink;
    const OptionsModel reopened(readSettings(folder, sink));
    EXPECT_TRUE(sink.messages().isEmpty());
    EXPECT_EQ(reopened.slider(), 35);
    EXPECT_EQ(reopened.statusText(), QStringLiteral("上位35%ライン表示中"));
}

TEST(OptionsModel, SavesATypedSiteUnchanged)
{
    TestFolder dir;
    const AppFolder folder(dir.path());
    Settings s = usualSettings();
    OptionsModel model(s);
    model.setSite(QStringLiteral("サイト3（試験用）"));
    ASSERT_TRUE(model.save(folder, s).ok());

    EXPECT_EQ(s.site, ReadingSite::None);
    EXPECT_EQ(s.otherSite, QStringLiteral("サイト3（試験用）"));
    RecordingSink sink;
    const Settings read = readSettings(folder, sink);
    EXPECT_EQ(read.site, ReadingSite::None);
    EXPECT_EQ(read.otherSite, QStringLiteral("サイト3（試験用）"));
    // Reopened, the dialog shows the typed text again.
    EXPECT_EQ(OptionsModel(read).site(), QStringLiteral("サイト3（試験用）"));
}

TEST(OptionsModel, CancelLeavesMemoryAndFileAlone)
{
    TestFolder dir;
    const QString ini = dir.write(QStringLiteral("marunoki.ini"), "[graph]\r\nkakeritu=0.3\r\n");
    Settings s = usualSettings();
    {
        OptionsModel model(s);
        model.setOverlay(0, false);
        model.setSlider(80);
        model.setSite(QStringLiteral("サイト2"));
    }  // closed with the cancel button: the model is dropped unsaved
    EXPECT_EQ(s.iniGraph[0], QStringLiteral("true"));
    EXPECT_EQ(s.kakeritu, 0.3f);
    EXPECT_EQ(s.site, ReadingSite::One);
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[graph]\r\nkakeritu=0.3\r\n"));
}

TEST(OptionsModel, ReportsAFailedWrite)
{
    TestFolder dir;
    const AppFolder folder(dir.path());
    // A folder where the settings file should be: it can be neither read nor written.
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("marunoki.ini"))));
    Settings s = usualSettings();
    OptionsModel model(s);
    model.setSlider(40);

    const Status written = model.save(folder, s);

    EXPECT_FALSE(written.ok());
    EXPECT_FALSE(written.message().isEmpty());
    // The choice still holds for this session.
    EXPECT_EQ(s.kakeritu, 0.4f);
}
