// What the desktop window remembers between runs, in its own section of the
// settings file.

#include "settings/window_state.h"

#include "settings/ini_file.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace marunoki {
namespace {

QString iniPath(const test::TestFolder &folder)
{
    return folder.file(QStringLiteral("marunoki.ini"));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(WindowState, RoundTripKeepsTheOtherSectionsAsTheyWere)
{
    test::TestFolder folder;
    const QByteArray theirs
        = "[graph]\r\nwriteHyo=1\r\nkakeritu=0.35\r\n[site]\r\nsite=\x83\x54\x83\x43\x83\x67\x82\x51\r\n";
    writeFile(iniPath(folder), theirs);
    const AppFolder app(folder.path());

    WindowState state;
    state.geometry = QRect(-20, 35, 1280, 720);
    state.maximized = true;
    state.year = QStringLiteral("2026");
    state.course = QStringLiteral("東京");
    state.meeting = QStringLiteral("05");
    state.day = QStringLiteral("09");
    state.race = QStringLiteral("11");
    state.view = QStringLiteral("hikaku");
    state.gridHeight = 240;
    ASSERT_TRUE(writeWindowState(app, state).ok());
    EXPECT_EQ(readWindowState(app), state);
    // The program's own sections and their bytes are untouched (Shift_JIS stays).
    EXPECT_TRUE(readFile(iniPath(folder)).startsWith(theirs));

    // Written again, the section is updated in place, not added twice.
    state.view = QStringLiteral("graph");
    state.maximized = false;
    // A grid height no longer chosen is not read back.
    state.gridHeight = std::nullopt;
    ASSERT_TRUE(writeWindowState(app, state).ok());
    EXPECT_EQ(readWindowState(app), state);
    EXPECT_EQ(readFile(iniPath(folder)).count("[MarunokiWindow]"), 1);
}

TEST(WindowState, DamagedValuesAreNotRemembered)
{
    const struct {
        const char *name;
        QByteArray section;
        bool hasGeometry;
        QString view;
        std::optional<int> gridHeight = std::nullopt;
    } cases[] = {
        {"whole", "left=10\ntop=20\nwidth=1300\nheight=800\nview=bacyu\ngridHeight=180\n", true,
            QStringLiteral("bacyu"), 180},
        {"grid height no number", "gridHeight=tall\n", false, QString()},
        {"grid height zero", "gridHeight=0\n", false, QString()},
        {"width no number", "left=10\ntop=20\nwidth=wide\nheight=800\n", false, QString()},
        {"height zero", "left=10\ntop=20\nwidth=1300\nheight=0\n", false, QString()},
        {"far off every screen", "left=9999999\ntop=20\nwidth=1300\nheight=800\n", false, QString()},
        {"a corner missing", "top=20\nwidth=1300\nheight=800\nview=table\n", false, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        test::TestFolder folder;
        writeFile(iniPath(folder), "[MarunokiWindow]\n" + c.section);
        const WindowState state = readWindowState(AppFolder(folder.path()));
        EXPECT_EQ(state.geometry.has_value(), c.hasGeometry);
        EXPECT_EQ(state.view, c.view);
        EXPECT_EQ(state.gridHeight, c.gridHeight);
    }
}

TEST(WindowState, AnUnreadableFileIsIgnoredAndNeverOverwritten)
{
    test::TestFolder folder;
    // A folder where the file should be cannot be read as a settings file.
    ASSERT_TRUE(QDir().mkpath(iniPath(folder)));
    const AppFolder app(folder.path());
    EXPECT_EQ(readWindowState(app), WindowState());
    WindowState state;
    state.view = QStringLiteral("graph");
    const Status written = writeWindowState(app, state);
    EXPECT_FALSE(written.ok());
    EXPECT_FALSE(written.message().isEmpty());
    EXPECT_TRUE(QFileInfo(iniPath(folder)).isDir());
}

TEST(WindowState, NothingRememberedWithoutAFile)
{
    test::TestFolder folder;
    EXPECT_EQ(readWindowState(AppFolder(folder.path())), WindowState());
}

}  // namespace
}  // namespace marunoki

namespace marunoki {
namespace {

TEST(PlaceOnScreens, KeepsTheWholeFrameOnTheScreenItOverlapsMost)
{
    const QRect laptop(0, 0, 1280, 720);
    const QRect monitor(1280, 0, 1920, 1080);
    const QSize minimum(900, 500);
    const QMargins none;
    const QMargins titled(4, 30, 4, 4);  // a title bar of 30 and borders of 4
    const struct {
        const char *name;
        QRect remembered;
        QMargins frame;
        QList<QRect> screens;
        std::optional<QRect> placed;
    } cases[] = {
        {"fits as it was", QRect(10, 40, 1000, 600), titled, {laptop}, QRect(10, 40, 1000, 600)},
        {"no frame: fits the screen exactly", QRect(0, 0, 1920, 1080), none, {laptop},
            QRect(0, 0, 1280, 720)},
        // Saved on a 1920 x 1080 screen with its title bar at the top edge:
        // the whole frame, title bar included, fits the smaller screen.
        {"from a larger screen", QRect(4, 30, 1912, 1046), titled, {laptop}, QRect(4, 30, 1272, 686)},
        {"hanging off the right", QRect(900, 100, 1000, 600), titled, {laptop}, QRect(276, 100, 1000, 600)},
        {"title bar above the top", QRect(100, 10, 1000, 600), titled, {laptop}, QRect(100, 30, 1000, 600)},
        {"below the bottom", QRect(100, 300, 1000, 600), titled, {laptop}, QRect(100, 116, 1000, 600)},
        {"mostly on the second screen", QRect(1200, 40, 1000, 700), titled, {laptop, monitor},
            QRect(1284, 40, 1000, 700)},
        {"mostly on the first screen listed", QRect(1200, 40, 1000, 700), titled, {monitor, laptop},
            QRect(1284, 40, 1000, 700)},
        {"half on each of two alike: the first listed", QRect(504, 100, 992, 500), titled,
            {QRect(0, 0, 1000, 800), QRect(1000, 0, 1000, 800)}, QRect(4, 100, 992, 500)},
        {"only the frame on a screen", QRect(1282, 40, 1000, 700), titled, {laptop},
            QRect(276, 30, 1000, 686)},
        {"on a screen since unplugged", QRect(1400, 10, 1000, 700), titled, {laptop}, std::nullopt},
        {"smaller than the window can be", QRect(10, 40, 300, 200), titled, {laptop},
            QRect(10, 40, 900, 500)},
        {"a screen smaller than the minimum", QRect(0, 30, 1000, 600), titled, {QRect(0, 0, 800, 480)},
            QRect(4, 30, 792, 446)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QRect> placed = placeOnScreens(c.remembered, c.frame, c.screens, minimum);
        EXPECT_EQ(placed, c.placed);
        if (placed) {
            bool inside = false;
            for (const QRect &screen : c.screens)
                inside = inside || screen.contains(placed->marginsAdded(c.frame));
            EXPECT_TRUE(inside);
        }
    }
}

}  // namespace
}  // namespace marunoki
