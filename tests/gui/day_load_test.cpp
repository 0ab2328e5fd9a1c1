// "1日分読込み" on the offscreen platform: the day of the bundled samples filled
// into the page cache, the stop button, and the marks of the race box.

#include "gui/day_load_dialog.h"

#include "driver/page_cache_setup.h"
#include "support/http_test_server.h"
#include "support/sample_race.h"
#include "support/test_folder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace marunoki::gui {
namespace {

const QString kSampleArchive = QStringLiteral(MARUNOKI_SOURCE_DIR "/samples/site1");

DaySelection sampleDay()
{
    return {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"), QStringLiteral("09"),
        ReadingSite::One, 1, kMaxRacesOfDay};
}

// The texts of the dialog's labels, joined.
QString shownText(const DayLoadDialog &dialog)
{
    QStringList texts;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        texts.append(label->text());
    return texts.join(u'\n');
}

struct DayFixture {
    DayFixture()
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(MARUNOKI_SOURCE_DIR "/samples/marunoki.dat"),
            folder.file(QStringLiteral("marunoki.dat"))));
        settings.site1Base = QStringLiteral("https://site1.example");
    }
    AppFolder app() const { return AppFolder(folder.path()); }
    test::TestFolder folder;
    Settings settings;
};

TEST(DayLoadDialog, FillsTheCacheWithTheDayAndSaysHowManyRacesItRead)
{
    DayFixture fixture;
    DayLoadDialog dialog(sampleDay(), fixture.settings, fixture.app(), kSampleArchive, nullptr);
    QSignalSpy ended(&dialog, &DayLoadDialog::dayEnded);
    ASSERT_TRUE(ended.wait(30000));
    EXPECT_TRUE(shownText(dialog).contains(QStringLiteral("12レース中 3レースを読み込みました")))
        << shownText(dialog).toStdString();
    EXPECT_FALSE(shownText(dialog).contains(QStringLiteral("中止")));
    // The races not read are named with their causes (races 1 to 9 are not in
    // the archive), not left to guess.
    auto *failures = dialog.findChild<QPlainTextEdit *>(QStringLiteral("dayFailures"));
    ASSERT_NE(failures, nullptr);
    const QStringList lines = failures->toPlainText().split(u'\n');
    ASSERT_EQ(lines.size(), 1 + 9) << failures->toPlainText().toStdString();
    for (int race = 1; race <= 9; ++race) {
        const QString head = QStringLiteral("%1R: ").arg(race);
        EXPECT_TRUE(lines[race].startsWith(head) && lines[race].size() > head.size() + 4)
            << lines[race].toStdString();
    }
    const RaceSelection day {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"),
        QStringLiteral("09"), QString(), ReadingSite::One};
    EXPECT_EQ(racesInCache(day, fixture.settings, fixture.app()), QList<int>({10, 11, 12}));
}

TEST(DayLoadDialog, TheStopButtonEndsTheDay)
{
    test::ensureCoreApplication();
    test::HttpTestServer server;
    const QString base = server.url(QString());
    for (int number : test::kSampleDayRaces)
        test::serveSamplePages(server, test::makeSampleRace(test::sampleDayRaceOptions(number)), base, 300);
    DayFixture fixture;
    fixture.settings.site1Base = base;
    DaySelection day = sampleDay();
    day.firstRace = 10;
    DayLoadDialog dialog(day, fixture.settings, fixture.app(), QString(), nullptr);
    QSignalSpy ended(&dialog, &DayLoadDialog::dayEnded);
    QAbstractButton *stop = dialog.findChild<QAbstractButton *>();
    ASSERT_NE(stop, nullptr);
    stop->click();
    ASSERT_TRUE(ended.wait(30000));
    EXPECT_TRUE(shownText(dialog).contains(QStringLiteral("中止しました")))
        << shownText(dialog).toStdString();
    EXPECT_LT(server.requestCount(), 3 + 16 + 16 + 14);
}

TEST(MarkCachedRaces, MarksOnlyTheRacesInTheCacheAndKeepsWhatTheBoxShows)
{
    QComboBox box;
    box.setEditable(true);
    for (int race = 1; race <= 12; ++race)
        box.addItem(QStringLiteral("%1").arg(race, 2, 10, QLatin1Char('0')));
    box.setEditText(QStringLiteral("RaceNo"));
    markCachedRaces(&box, {1, 10, 11});
    EXPECT_EQ(box.currentText(), QStringLiteral("RaceNo"));
    for (int i = 0; i < box.count(); ++i) {
        const bool marked = i == 0 || i == 9 || i == 10;
        EXPECT_EQ(box.itemData(i, Qt::FontRole).value<QFont>().bold(), marked) << i;
        EXPECT_EQ(box.itemData(i, Qt::ToolTipRole).isValid(), marked) << i;
        EXPECT_EQ(box.itemText(i), QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0')));
    }
    // Another day without cached races clears the marks.
    markCachedRaces(&box, {});
    for (int i = 0; i < box.count(); ++i)
        EXPECT_FALSE(box.itemData(i, Qt::FontRole).isValid()) << i;
}

}  // namespace
}  // namespace marunoki::gui
