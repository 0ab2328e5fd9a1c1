#include "view/bacyu_table.h"
#include "view/grid_render.h"

#include "view_store.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

using namespace marunoki;
using marunoki::test::addRun;
using marunoki::test::addRunner;

namespace {

constexpr int kDpi = 144;  // 10 twips to a pixel

// The pixel rectangle of a cell in an image made at kDpi, one pixel inside.
QRect cellPixels(const CellGrid &grid, int row, int col)
{
    int left = 0;
    for (int c = 0; c < col; ++c) {
        left += grid.colWidth(c);
    }
    return QRect(left / 10 + 1, row * CellGrid::kRowHeight / 10 + 1, grid.colWidth(col) / 10 - 2,
        CellGrid::kRowHeight / 10 - 2);
}

// Pixels in the rectangle that differ from `background`, and the mean x of them.
struct Ink {
    int count = 0;
    double meanX = 0;
};
Ink inkIn(const QImage &image, const QRect &rect, const QColor &background)
{
    Ink ink;
    double sumX = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (image.pixelColor(x, y) != background) {
                ++ink.count;
                sumX += x;
            }
        }
    }
    ink.meanX = ink.count > 0 ? sumX / ink.count : 0;
    return ink;
}

// A grid without grid lines whose first column is `width` twips wide.
CellGrid plainGrid(int rows, int cols, int width)
{
    CellGrid grid;
    grid.setRows(rows);
    grid.setCols(cols);
    grid.setColWidth(0, width);
    grid.gridLines = false;
    return grid;
}

CellGrid drawnTable()
{
    RaceStore store;
    addRunner(store, 1, QStringLiteral("イチ"), 3);
    addRunner(store, 2, QStringLiteral("ニ"), 4);
    addRun(store, 1, 1);
    CellGrid grid;
    RecordingSink sink;
    drawBacyu(store, grid, sink);
    return grid;
}

}  // namespace

TEST(GridImage, CoversTheWholeTableAtTheResolution)
{
    const CellGrid grid = drawnTable();
    const struct {
        int dpi;
        QSize size;
    } cases[] = {{144, {1450, 2160}}, {96, {967, 1440}}, {300, {3021, 4500}}};
    for (const auto &c : cases) {
        EXPECT_EQ(gridImageSize(grid, c.dpi), c.size) << c.dpi;
    }
    const QImage image = gridImage(grid, kDpi);
    EXPECT_EQ(image.size(), QSize(1450, 2160));
    EXPECT_EQ(image.dotsPerMeterX(), 5669);
}

TEST(GridImage, EmptyGridOrBadResolutionGivesNullImage)
{
    CellGrid grid;
    EXPECT_TRUE(gridImage(grid, 96).isNull());
    grid.setRows(2);
    grid.setCols(2);
    EXPECT_TRUE(gridImage(grid, 0).isNull());
    EXPECT_FALSE(gridImage(grid, 96).isNull());
    // A resolution whose image would be wider than any image can be.
    EXPECT_TRUE(gridImageSize(grid, std::numeric_limits<int>::max()).isEmpty());
    EXPECT_TRUE(gridImage(grid, std::numeric_limits<int>::max()).isNull());
    // The smallest picture there is: one pixel.
    grid.setCols(1);
    EXPECT_EQ(gridImageSize(grid, 1), QSize(1, 1));
}

TEST(GridImage, CellsCarryTheirBackgroundsInEveryRow)
{
    const CellGrid grid = drawnTable();
    const QImage image = gridImage(grid, kDpi);
    // Slot 18 (rows 85..89) is empty; its shading shows all the same.
    const struct {
        int row;
        int col;
        QColor colour;
    } cases[] = {
        {89, 8, QColor(0xE0, 0xE0, 0xE0)},  // even slot: shaded
        {89, 7, QColor(255, 255, 255)}, {4, 11, QColor(0xE0, 0xE0, 0xE0)},  // odd slot: shaded
        {2, 0, QColor(255, 0, 0)},  // bracket 3
        {7, 0, QColor(0, 0, 255)},  // bracket 4
    };
    for (const auto &c : cases) {
        const QRect rect = cellPixels(grid, c.row, c.col);
        EXPECT_EQ(image.pixelColor(rect.center()), c.colour) << c.row << " " << c.col;
        EXPECT_EQ(image.pixelColor(rect.topLeft()), c.colour) << c.row << " " << c.col;
    }
}

TEST(GridImage, TextIsDrawnAndAlignedByKind)
{
    CellGrid grid = plainGrid(4, 2, 2000);
    grid.at(0, 0)->text = QStringLiteral("123");  // general: a number to the right
    grid.at(1, 0)->text = QStringLiteral("ABC");  // general: text to the left
    grid.at(2, 0)->text = QStringLiteral("123");
    grid.at(2, 0)->align = CellAlign::LeftCenter;
    grid.at(3, 0)->text = QStringLiteral("ABC");
    grid.at(3, 0)->foreground = QColor(255, 0, 0);
    const QImage image = gridImage(grid, kDpi);
    const QColor white(255, 255, 255);
    const double middle = cellPixels(grid, 0, 0).center().x();

    const Ink number = inkIn(image, cellPixels(grid, 0, 0), white);
    const Ink text = inkIn(image, cellPixels(grid, 1, 0), white);
    const Ink leftNumber = inkIn(image, cellPixels(grid, 2, 0), white);
    ASSERT_GT(number.count, 0);
    ASSERT_GT(text.count, 0);
    ASSERT_GT(leftNumber.count, 0);
    EXPECT_GT(number.meanX, middle);
    EXPECT_LT(text.meanX, middle);
    EXPECT_LT(leftNumber.meanX, middle);
    EXPECT_EQ(inkIn(image, cellPixels(grid, 0, 1), white).count, 0);

    bool reddish = false;
    const QRect red = cellPixels(grid, 3, 0);
    for (int y = red.top(); y <= red.bottom() && !reddish; ++y) {
        for (int x = red.left(); x <= red.right() && !reddish; ++x) {
            const QColor p = image.pixelColor(x, y);
            reddish = p.red() > 200 && p.green() < 100 && p.blue() < 100;
        }
    }
    EXPECT_TRUE(reddish);
}

TEST(GridImage, BiggerAndBolderFontsInkMore)
{
    CellGrid grid = plainGrid(3, 1, 3000);
    for (int r = 0; r < 3; ++r) {
        grid.at(r, 0)->text = QStringLiteral("ウマ馬柱");
    }
    grid.at(1, 0)->bold = true;
    grid.at(2, 0)->fontSize = 6;
    const QImage image = gridImage(grid, kDpi);
    const QColor white(255, 255, 255);
    const int regular = inkIn(image, cellPixels(grid, 0, 0), white).count;
    EXPECT_GT(inkIn(image, cellPixels(grid, 1, 0), white).count, regular);
    EXPECT_LT(inkIn(image, cellPixels(grid, 2, 0), white).count, regular);
}

// The text's size and place in pixels follow the grid's scale alone, whatever
// resolution the device reports; also text only a fallback face can draw.
TEST(RenderGrid, TextIsTheSameOnDevicesOfAnyResolution)
{
    CellGrid grid = plainGrid(2, 1, 3000);
    grid.at(0, 0)->text = QStringLiteral("ウマ馬柱 130");
    grid.at(1, 0)->text = QStringLiteral("ẞა");
    const auto drawnAt = [&grid](int dpi) {
        QImage image(300, 48, QImage::Format_RGB32);
        image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
        image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
        image.fill(Qt::white);
        QPainter painter(&image);
        renderGrid(grid, painter, QPointF(0, 0), 0.1);
        painter.end();
        return image;
    };
    const QImage reference = drawnAt(96);
    ASSERT_GT(inkIn(reference, QRect(0, 0, 300, 24), QColor(255, 255, 255)).count, 0);
    ASSERT_GT(inkIn(reference, QRect(0, 24, 300, 24), QColor(255, 255, 255)).count, 0);
    for (int dpi : {72, 144, 300})
        EXPECT_EQ(drawnAt(dpi), reference) << dpi;
}

// A text wider than its cell never inks the next cell: the window clips it at
// the edge, paper narrows it so that its end (a weight, a block here) shows.
TEST(RenderGrid, TextWiderThanItsCellIsClippedOrNarrowedAtTheCell)
{
    CellGrid grid = plainGrid(3, 2, 400);
    grid.at(0, 0)->text = QStringLiteral("ディープインパクトディープインパクト");
    grid.at(1, 0)->text = QStringLiteral("12345678901234567890");  // a number too wide
    grid.at(2, 0)->text = QStringLiteral("■") + QString(24, u'.') + QStringLiteral("■");
    const QColor white(255, 255, 255);
    for (const Overflow overflow : {Overflow::Clip, Overflow::Narrow}) {
        SCOPED_TRACE(overflow == Overflow::Clip ? "clip" : "narrow");
        QImage image(gridImageSize(grid, kDpi), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        renderGrid(grid, painter, QPointF(0, 0), 0.1, overflow);
        painter.end();
        for (int r = 0; r < 3; ++r) {
            EXPECT_GT(inkIn(image, cellPixels(grid, r, 0), white).count, 0) << r;
            EXPECT_EQ(inkIn(image, cellPixels(grid, r, 1), white).count, 0) << r;
        }
        // The last fifth of the cell: the closing block only when narrowed.
        const QRect cell = cellPixels(grid, 2, 0);
        const QRect end(cell.right() - cell.width() / 5, cell.top(), cell.width() / 5, cell.height());
        const int ink = inkIn(image, end, white).count;
        if (overflow == Overflow::Narrow)
            EXPECT_GT(ink, end.width() * end.height() / 6);
        else
            EXPECT_LT(ink, end.width() * end.height() / 6);
    }
}

TEST(GridImage, CharactersOutsideTheFaceStillShow)
{
    // Characters a Japanese gothic face lacks (Georgian, a capital sharp s),
    // drawn through font fallback.
    CellGrid grid = plainGrid(3, 1, 3000);
    grid.at(0, 0)->text = QStringLiteral("ẞა");
    grid.at(1, 0)->text = QString::fromUtf8("\xf0\x9f\x90\x8e");  // a horse emoji: no face has it; no crash
    grid.at(2, 0)->text = QStringLiteral("馬");
    const QImage image = gridImage(grid, kDpi);
    EXPECT_GT(inkIn(image, cellPixels(grid, 0, 0), QColor(255, 255, 255)).count, 0);
    EXPECT_GT(inkIn(image, cellPixels(grid, 2, 0), QColor(255, 255, 255)).count, 0);
}

// A text that needs a fallback face draws the characters its own face has at
// the same size and place as a text that needs none: a large scale shows a
// size off by one percent.
TEST(RenderGrid, FallbackTextKeepsTheSizeOfTheFacesOwnCharacters)
{
    CellGrid grid = plainGrid(2, 1, 1000);
    grid.at(0, 0)->text = QStringLiteral("馬");
    grid.at(1, 0)->text = QStringLiteral("馬ẞ");
    constexpr double kScale = 2;  // an 8-point text 320 pixels high
    const int rowPixels = int(CellGrid::kRowHeight * kScale);
    QImage image(int(1000 * kScale), 2 * rowPixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderGrid(grid, painter, QPointF(0, 0), kScale);
    painter.end();
    // The ink box of the first character, within its row.
    const auto firstCharacter = [&](int row) {
        QRect box;
        for (int y = 0; y < rowPixels; ++y) {
            for (int x = 0; x < 340; ++x) {
                if (image.pixelColor(x, row * rowPixels + y) != QColor(Qt::white))
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    };
    const QRect own = firstCharacter(0);
    const QRect withFallback = firstCharacter(1);
    ASSERT_GT(own.height(), 200);
    for (const auto &[name, a, b] :
        {std::tuple {"left", own.left(), withFallback.left()}, {"top", own.top(), withFallback.top()},
            {"right", own.right(), withFallback.right()}, {"bottom", own.bottom(), withFallback.bottom()}})
        EXPECT_NEAR(a, b, 1) << name;
}

TEST(GridImage, GridLinesOnlyWhenSwitchedOn)
{
    CellGrid grid;
    grid.setRows(2);
    grid.setCols(2);
    // Between the columns, and between the rows.
    for (const QPoint boundary :
        {QPoint(CellGrid::kDefaultColumnWidth / 10, 5), QPoint(5, CellGrid::kRowHeight / 10)}) {
        grid.gridLines = true;
        EXPECT_EQ(gridImage(grid, kDpi).pixelColor(boundary), QColor(0xC0, 0xC0, 0xC0)) << boundary.y();
        grid.gridLines = false;
        EXPECT_EQ(gridImage(grid, kDpi).pixelColor(boundary), QColor(255, 255, 255)) << boundary.y();
    }
}

TEST(RenderGrid, DrawsAtTheOriginAndScale)
{
    CellGrid grid = plainGrid(1, 1, 1000);
    grid.at(0, 0)->background = QColor(0, 128, 0);
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderGrid(grid, painter, QPointF(50, 20), 0.1);  // 100 x 24 pixels at (50, 20)
    painter.end();
    EXPECT_EQ(image.pixelColor(51, 21), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(148, 42), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(49, 21), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(151, 21), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(60, 45), QColor(255, 255, 255));

    // Rows without columns are nothing to draw, their grid lines included.
    CellGrid columnless;
    columnless.setRows(3);
    columnless.gridLines = true;
    image.fill(Qt::white);
    QPainter again(&image);
    renderGrid(columnless, again, QPointF(50, 20), 0.1);
    again.end();
    EXPECT_EQ(inkIn(image, image.rect(), Qt::white).count, 0);
}

// Only the rows the clip reaches are drawn; a row the clip cuts through is drawn
// whole up to the clip, the first row included, and nothing lies above the origin.
TEST(RenderGrid, DrawsEveryRowThePaintersClipReaches)
{
    struct Case {
        const char *name;
        double originY;
        QRect clip;  // rows of 24 pixels at 0.1 pixel per twip
        std::vector<int> painted;  // pixel rows
        std::vector<int> blank;
    };
    const Case cases[] = {
        {"one row", 0, QRect(0, 48, 96, 24), {50, 70}, {30, 100}},
        {"starting inside the first row", 0, QRect(0, 10, 96, 24), {12, 30}, {5, 40}},
        {"cutting two rows", 0, QRect(0, 60, 96, 30), {62, 88}, {58, 92}},
        {"reaching above the origin", 30, QRect(0, 0, 96, 60), {32, 56}, {2, 28}},
        {"the last rows", 0, QRect(0, 200, 96, 40), {217, 239}, {198}},
    };
    for (const Case &c : cases) {
        CellGrid grid = plainGrid(10, 1, CellGrid::kDefaultColumnWidth);
        for (int r = 0; r < 10; ++r) {
            grid.at(r, 0)->background = QColor(0, 0, 128);
        }
        QImage image(96, 260, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setClipRect(c.clip);
        renderGrid(grid, painter, QPointF(0, c.originY), 0.1);
        painter.end();
        for (int y : c.painted)
            EXPECT_EQ(image.pixelColor(10, y), QColor(0, 0, 128)) << c.name << " y " << y;
        for (int y : c.blank)
            EXPECT_EQ(image.pixelColor(10, y), QColor(255, 255, 255)) << c.name << " y " << y;
    }
}
