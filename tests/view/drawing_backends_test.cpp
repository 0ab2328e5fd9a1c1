// The drawing boxes: the recorded picture, and its replay through a QPainter into
// real images.

#include "graph_fixture.h"
#include "support/qt_print.h"
#include "view/painter_draw_box.h"
#include "view/recorded_drawing.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);

// A box of 9135 x 6735 twips rendered at 96 dpi: 609 x 449 pixels.
QImage render(const RecordedDrawing &drawing, QSize size = QSize(609, 449), QRectF target = QRectF(),
    BoxFrame frame = BoxFrame::AsSet)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 10));
    QPainter painter(&image);
    paintDrawing(drawing, painter, target.isNull() ? QRectF(QPointF(0, 0), QSizeF(size)) : target, frame);
    painter.end();
    return image;
}

RecordedDrawing graphBox()
{
    RecordedDrawing drawing;
    drawing.setSize(9135, 6735);
    return drawing;
}

// Red enough to be the red line, also where antialiasing mixes in some background.
bool isReddish(const QColor &c)
{
    return c.red() > 200 && c.green() < 128 && c.blue() < 128;
}

bool isNonWhite(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y) != kWhite;
}

int nonWhitePixelsIn(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += isNonWhite(image, x, y) ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(RecordedDrawing, KeepsEveryPrimitiveWithThePenItWasDrawnWith)
{
    RecordedDrawing drawing;
    drawing.setDrawWidth(3);
    drawing.setDrawStyle(LineStyle::Dot);
    drawing.line(1, 2, 3, 4, kRed);
    drawing.setDrawWidth(1);
    drawing.setDrawStyle(LineStyle::Solid);
    drawing.setFillStyle(FillStyle::Solid);
    drawing.setFillColor(kBlue);
    drawing.circle(100, 200, 72, kRed);
    drawing.box(5, 6, 7, 8, kBlue);
    drawing.filledBox(9, 10, 11, 12, kRed);
    drawing.text(13, 14, QStringLiteral("東京"), 9, QStringLiteral("ＭＳ Ｐゴシック"));

    const auto &p = drawing.primitives();
    ASSERT_EQ(p.size(), 5u);
    EXPECT_EQ(p[0].kind, PrimitiveKind::Line);
    EXPECT_EQ(p[0].pen.drawWidth, 3);
    EXPECT_EQ(p[0].pen.drawStyle, LineStyle::Dot);
    EXPECT_EQ(p[0].x2, 3);
    EXPECT_EQ(p[0].y2, 4);
    EXPECT_EQ(p[1].kind, PrimitiveKind::Circle);
    EXPECT_EQ(p[1].radius, 72);
    EXPECT_EQ(p[1].pen.fillStyle, FillStyle::Solid);
    EXPECT_EQ(p[1].pen.fillColor, kBlue);
    EXPECT_EQ(p[1].colour, kRed);
    EXPECT_EQ(p[2].kind, PrimitiveKind::Box);
    EXPECT_EQ(p[3].kind, PrimitiveKind::FilledBox);
    EXPECT_EQ(p[4].text, QStringLiteral("東京"));
    EXPECT_EQ(p[4].points, 9);
    EXPECT_EQ(p[4].x1, 13);
}

TEST(RecordedDrawing, ClearForgetsThePrimitivesButKeepsSizeAndPen)
{
    RecordedDrawing drawing = graphBox();
    drawing.setDrawWidth(4);
    drawing.line(0, 0, 10, 10, kRed);
    drawing.clear();
    EXPECT_TRUE(drawing.primitives().empty());
    EXPECT_EQ(drawing.width(), 9135);
    EXPECT_EQ(drawing.pen().drawWidth, 4);
}

TEST(RecordedDrawing, ReplayDrawsTheSameListOnAnotherBox)
{
    RecordedDrawing source;
    source.setDrawWidth(2);
    source.line(1, 2, 3, 4, kRed);
    source.setFillStyle(FillStyle::Solid);
    source.setFillColor(kRed);
    source.circle(5, 6, 7, kBlue);
    source.setFillStyle(FillStyle::Transparent);
    source.text(8, 9, QStringLiteral("SP指数"), 8, QStringLiteral("ＭＳ Ｐゴシック"));

    RecordedDrawing copy;
    copy.setDrawWidth(9);  // replaced by each primitive's own state
    source.replay(copy);
    ASSERT_EQ(copy.primitives().size(), source.primitives().size());
    for (size_t i = 0; i < source.primitives().size(); ++i) {
        const DrawPrimitive &a = source.primitives()[i];
        const DrawPrimitive &b = copy.primitives()[i];
        EXPECT_EQ(a.kind, b.kind);
        EXPECT_EQ(a.x1, b.x1);
        EXPECT_EQ(a.radius, b.radius);
        EXPECT_EQ(a.colour, b.colour);
        EXPECT_EQ(a.pen.drawWidth, b.pen.drawWidth);
        EXPECT_EQ(a.pen.fillStyle, b.pen.fillStyle);
        EXPECT_EQ(a.text, b.text);
    }
}

TEST(PaintDrawing, DrawsALineWhereItWasRecorded)
{
    RecordedDrawing drawing = graphBox();
    drawing.setDrawWidth(3);
    drawing.line(1500, 3000, 7500, 3000, kRed);  // pixels 100..500 on row 200
    const QImage image = render(drawing);

    EXPECT_EQ(image.pixelColor(300, 200), kRed);
    EXPECT_EQ(image.pixelColor(300, 190), kWhite);  // the background around it
    EXPECT_EQ(image.pixelColor(550, 200), kWhite);  // past the line's end
}

TEST(PaintDrawing, ScalesTheBoxIntoTheTarget)
{
    RecordedDrawing drawing = graphBox();
    drawing.setDrawWidth(3);
    drawing.line(1500, 3000, 7500, 3000, kRed);
    // Half size, placed at (100, 50) in a larger image.
    const QImage image = render(drawing, QSize(700, 500), QRectF(100, 50, 304.5, 224.5));

    EXPECT_TRUE(isReddish(image.pixelColor(100 + 150, 50 + 100)));  // a pen of 1.5 pixels now
    EXPECT_EQ(image.pixelColor(100 + 150, 50 + 90), kWhite);
    EXPECT_EQ(image.pixelColor(50, 150), QColor(10, 200, 10));  // outside the target: untouched
}

TEST(PaintDrawing, ClipsToTheTargetAndSurvivesWildCoordinates)
{
    RecordedDrawing drawing = graphBox();
    drawing.setDrawWidth(2);
    drawing.setDrawStyle(LineStyle::Dot);
    drawing.line(1500, 1500, 1e12, 1500, kRed);  // a dotted line to far away: cut, not rasterised
    drawing.setDrawStyle(LineStyle::Solid);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    drawing.line(nan, 0, 100, 100, kBlue);
    drawing.circle(1e15, 1e15, 72, kBlue);
    drawing.text(nan, 10, QStringLiteral("x"), 8, QStringLiteral("ＭＳ Ｐゴシック"));
    drawing.line(9000, 4500, 20000, 4500, kBlue);  // runs off the box's right edge

    const QImage image = render(drawing, QSize(700, 449), QRectF(0, 0, 609, 449));
    EXPECT_GT(nonWhitePixelsIn(image, QRect(100, 99, 400, 3)), 50);
    EXPECT_EQ(image.pixelColor(605, 300), kBlue);
    EXPECT_EQ(image.pixelColor(650, 300), QColor(10, 200, 10));  // beyond the target: clipped
}

TEST(PaintDrawing, FillsCirclesOnlyWithASolidFillStyle)
{
    RecordedDrawing drawing = graphBox();
    drawing.setDrawWidth(1);
    drawing.setFillStyle(FillStyle::Solid);
    drawing.setFillColor(kBlue);
    drawing.circle(1500, 1500, 300, kRed);  // centre pixel (100, 100)
    drawing.setFillStyle(FillStyle::Transparent);
    drawing.circle(4500, 1500, 300, kRed);  // centre pixel (300, 100)
    const QImage image = render(drawing);

    EXPECT_EQ(image.pixelColor(100, 100), kBlue);
    EXPECT_EQ(image.pixelColor(300, 100), kWhite);
    EXPECT_TRUE(isNonWhite(image, 300, 80));  // its outline, 20 pixels up
}

TEST(PaintDrawing, FilledBoxesTakeThePenColour)
{
    RecordedDrawing drawing = graphBox();
    drawing.filledBox(1500, 1500, 3000, 3000, kBlue);
    drawing.box(4500, 1500, 6000, 3000, kRed);
    const QImage image = render(drawing);
    EXPECT_EQ(image.pixelColor(150, 150), kBlue);
    EXPECT_EQ(image.pixelColor(350, 150), kWhite);
    EXPECT_TRUE(isNonWhite(image, 300, 150));
}

TEST(PaintDrawing, PrintsTextBelowAndRightOfItsPosition)
{
    RecordedDrawing drawing = graphBox();
    drawing.text(1500, 1500, QStringLiteral("SP指数 130"), 10, QStringLiteral("ＭＳ Ｐゴシック"));
    const QImage image = render(drawing);
    // 10 points are about 13 pixels: the glyphs fill the band below (100, 100).
    EXPECT_GT(nonWhitePixelsIn(image, QRect(100, 100, 80, 16)), 20);
    EXPECT_EQ(nonWhitePixelsIn(image, QRect(100, 80, 80, 18)), 0);
    EXPECT_EQ(nonWhitePixelsIn(image, QRect(60, 100, 38, 16)), 0);
}

// Each text gets the face and size it asks for, also after others were printed
// with the same face or the same size.
TEST(PaintDrawing, PrintsEachTextInItsOwnFaceAndSize)
{
    const QString text = QStringLiteral("iiiiiiiiii");
    RecordedDrawing drawing = graphBox();
    drawing.text(1500, 1500, text, 10, QStringLiteral("ＭＳ Ｐゴシック"));  // row 100
    drawing.text(1500, 3000, text, 10, QStringLiteral("ＭＳ ゴシック"));  // row 200, fixed pitch
    drawing.text(1500, 4500, text, 20, QStringLiteral("ＭＳ Ｐゴシック"));  // row 300, twice the size
    const QImage image = render(drawing);
    const auto ink = [&image](int top) {
        QRect box;
        for (int y = top; y < top + 60; ++y) {
            for (int x = 100; x < 600; ++x) {
                if (isNonWhite(image, x, y))
                    box |= QRect(x, y, 1, 1);
            }
        }
        return box;
    };
    const QRect proportional = ink(100);
    const QRect fixed = ink(200);
    const QRect large = ink(300);
    ASSERT_FALSE(proportional.isEmpty());
    // A fixed-pitch "i" is half an em wide, a proportional one far narrower.
    EXPECT_GT(fixed.width(), proportional.width() * 3 / 2) << fixed.width() << " " << proportional.width();
    EXPECT_GT(large.height(), proportional.height() * 3 / 2)
        << large.height() << " " << proportional.height();
    EXPECT_GT(large.width(), proportional.width() * 3 / 2) << large.width() << " " << proportional.width();
}

// Text keeps its size in pixels whatever resolution the device reports.
TEST(PaintDrawing, PrintsTextAlikeOnDevicesOfAnyResolution)
{
    RecordedDrawing drawing = graphBox();
    drawing.text(1500, 1500, QStringLiteral("SP指数 130"), 10, QStringLiteral("ＭＳ Ｐゴシック"));
    const auto drawnAt = [&drawing](int dpi) {
        QImage image(QSize(609, 449), QImage::Format_ARGB32);
        image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
        image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
        image.fill(kWhite);
        QPainter painter(&image);
        paintDrawing(drawing, painter, QRectF(0, 0, 609, 449), BoxFrame::AsSet);
        painter.end();
        return image;
    };
    const QImage reference = drawnAt(96);
    ASSERT_GT(nonWhitePixelsIn(reference, QRect(100, 100, 80, 16)), 20);
    for (int dpi : {72, 144, 300})
        EXPECT_EQ(drawnAt(dpi), reference) << dpi;
}

TEST(PaintDrawing, PaintsBackgroundAndBorderAndNothingWhenHidden)
{
    RecordedDrawing legend;
    legend.setSize(900, 7735);
    legend.setBackground(QColor(240, 240, 240));
    legend.setBorder(true);
    const QImage shown = render(legend, QSize(60, 516));
    // Each of the four sides one pixel wide, at the very edge.
    for (const QPoint edge : {QPoint(0, 200), QPoint(59, 200), QPoint(30, 0), QPoint(30, 515)})
        EXPECT_EQ(shown.pixelColor(edge), QColor(0, 0, 0)) << edge.x() << ',' << edge.y();
    for (const QPoint inside :
        {QPoint(30, 200), QPoint(1, 200), QPoint(58, 200), QPoint(30, 1), QPoint(30, 514)})
        EXPECT_EQ(shown.pixelColor(inside), QColor(240, 240, 240)) << inside.x() << ',' << inside.y();

    // The picture without its frame, as the printer copies it: background to the edge.
    const QImage picture = render(legend, QSize(60, 516), QRectF(), BoxFrame::Omitted);
    EXPECT_EQ(picture.pixelColor(0, 200), QColor(240, 240, 240));
    EXPECT_EQ(picture.pixelColor(59, 200), QColor(240, 240, 240));

    legend.setVisible(false);
    const QImage hidden = render(legend, QSize(60, 516));
    EXPECT_EQ(hidden.pixelColor(30, 200), QColor(10, 200, 10));
}

TEST(GothicFamily, KeepsAnInstalledFaceAndReplacesAMissingOne)
{
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    EXPECT_EQ(gothicFamily(families.first()), families.first());

    const QString missing = QStringLiteral("ＭＳ Ｐゴシック");
    const QString chosen = gothicFamily(missing);
    if (chosen != missing) {
        EXPECT_TRUE(QFontDatabase::hasFamily(chosen));
    } else {
        EXPECT_TRUE(
            QFontDatabase::hasFamily(missing) || !QFontDatabase::hasFamily(QStringLiteral("IPAPGothic")));
    }
}
