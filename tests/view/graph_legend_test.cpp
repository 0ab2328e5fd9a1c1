// The legend beside the graph (drawLegend).

#include "graph_fixture.h"
#include "support/qt_print.h"
#include "view/graph_steps.h"
#include "view/qb_color.h"

#include <QRectF>

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

struct Legend {
    RecordedDrawing box;
    bool ok = false;
};

Legend drawLegend(const QString &setting)
{
    RecordedDrawing graphBox;
    graphBox.setSize(9135, 6735);
    const GraphLayout layout = GraphLayout::of(graphBox, graphRaceDay());
    Legend legend;
    legend.box.text(0, 0, QStringLiteral("前の凡例"), 8, QStringLiteral("x"));
    legend.ok = graph::drawLegend(layout, graphSettings(setting).iniGraph, legend.box);
    return legend;
}

bool shows(const RecordedDrawing &box, const char16_t *text)
{
    return !textsReading(box, QString::fromUtf16(text)).empty();
}

}  // namespace

TEST(Hanrei, ClearsAndSetsUpItsBox)
{
    const Legend legend = drawLegend(QStringLiteral("true"));
    ASSERT_TRUE(legend.ok);
    EXPECT_FALSE(shows(legend.box, u"前の凡例"));
    EXPECT_EQ(legend.box.width(), 900);
    EXPECT_EQ(legend.box.height(), 6735 + 1000);
    EXPECT_TRUE(legend.box.border());
    EXPECT_TRUE(legend.box.isVisible());
    EXPECT_EQ(legend.box.background(), windowBackgroundColor());
}

TEST(Hanrei, SectionsShowForAnyNonEmptySetting)
{
    const char16_t *const sectionTexts[]
        = {u"1枠", u"8枠", u"9", u"24", u"100m", u"×", u"1角通過", u"良", u"不", u"馬体重推移", u"着順"};
    for (const QString &setting : {QStringLiteral("true"), QStringLiteral("false"), QStringLiteral("x")}) {
        const Legend legend = drawLegend(setting);
        for (const char16_t *text : sectionTexts)
            EXPECT_TRUE(shows(legend.box, text))
                << setting.toStdString() << " " << QString::fromUtf16(text).toStdString();
        EXPECT_TRUE(shows(legend.box, u"SP指数"));
    }
    const Legend empty = drawLegend(QString());
    for (const char16_t *text : sectionTexts)
        EXPECT_FALSE(shows(empty.box, text)) << QString::fromUtf16(text).toStdString();
    EXPECT_TRUE(shows(empty.box, u"SP指数"));  // the speed-figure key is always there
}

TEST(Hanrei, RowsStandAtTheGraphsHeights)
{
    const Legend legend = drawLegend(QStringLiteral("true"));
    const auto brackets = primitivesIn(legend.box, PrimitiveKind::FilledBox, qbColor(3));
    ASSERT_EQ(brackets.size(), 8u);
    for (int k = 1; k <= 8; ++k) {
        const double y = yOfValue(40 - 5 * (k - 1));
        EXPECT_EQ(brackets[k - 1].x1, 0);
        EXPECT_EQ(brackets[k - 1].x2, 100);
        EXPECT_DOUBLE_EQ(brackets[k - 1].y1, y - 50);
        const auto label = textsReading(legend.box, QString::number(k) + QStringLiteral("枠"));
        ASSERT_EQ(label.size(), 1u);
        EXPECT_EQ(label[0].x1, 150);
        EXPECT_DOUBLE_EQ(label[0].y1, y - 100);
        EXPECT_EQ(label[0].points, 8);
    }
    const auto distances = primitivesIn(legend.box, PrimitiveKind::Circle, qbColor(5));
    ASSERT_EQ(distances.size(), 16u);  // 900 m to 2400 m
    EXPECT_DOUBLE_EQ(distances.front().y1, yOfValue(0));
    EXPECT_DOUBLE_EQ(distances.back().y1, yOfValue(75));
    EXPECT_EQ(distances.front().x1, 560);
    EXPECT_DOUBLE_EQ(textsReading(legend.box, QStringLiteral("100m"))[0].y1, yOfValue(80) + 70);
    EXPECT_EQ(textsReading(legend.box, QStringLiteral("100m"))[0].x1, 460);
    const auto longest = textsReading(legend.box, QStringLiteral("24"));  // 2400 m, beside its circle
    ASSERT_EQ(longest.size(), 1u);
    EXPECT_EQ(longest[0].x1, 660);
    EXPECT_DOUBLE_EQ(longest[0].y1, yOfValue(75) - 100);

    const auto corners = primitivesIn(legend.box, PrimitiveKind::Box, qbColor(12));
    ASSERT_EQ(corners.size(), 9u);
    EXPECT_DOUBLE_EQ(corners[8].y1, yOfValue(60) - 60);
    const auto goings = primitivesIn(legend.box, PrimitiveKind::Circle, qbColor(8));
    ASSERT_EQ(goings.size(), 4u);
    EXPECT_DOUBLE_EQ(goings[3].y1, yOfValue(85));
    EXPECT_EQ(goings[3].x1, 560);
    EXPECT_EQ(goings[3].pen.fillStyle, FillStyle::Solid);
    EXPECT_EQ(goings[3].pen.drawWidth, 1);
}

TEST(Hanrei, SeriesKeysBelowTheGraphHeight)
{
    const Legend legend = drawLegend(QStringLiteral("true"));
    const struct {
        const char16_t *name;
        QColor colour;
        double y;
    } keys[] = {{u"SP指数", qbColor(9), 6735 - 100}, {u"馬体重推移", qbColor(0), 6735 + 300},
        {u"着順", qbColor(8), 6735 + 700}};
    for (const auto &key : keys) {
        const auto name = textsReading(legend.box, QString::fromUtf16(key.name));
        ASSERT_EQ(name.size(), 1u);
        EXPECT_EQ(name[0].x1, 50);
        EXPECT_DOUBLE_EQ(name[0].y1, key.y - 250);
        EXPECT_EQ(name[0].points, 8);
        bool lineFound = false;
        for (const DrawPrimitive &p : primitivesIn(legend.box, PrimitiveKind::Line, key.colour))
            lineFound = lineFound || (p.x1 == 0 && p.x2 == 800 && p.y1 == key.y);
        EXPECT_TRUE(lineFound) << QString::fromUtf16(key.name).toStdString();
        if (key.colour == qbColor(9))
            continue;  // a circle, below
        // The other keys are squares of 60 twips on the line, centred at x 400.
        const auto square = primitivesIn(legend.box, PrimitiveKind::FilledBox, key.colour);
        ASSERT_EQ(square.size(), 1u) << QString::fromUtf16(key.name).toStdString();
        EXPECT_EQ(QRectF(QPointF(square[0].x1, square[0].y1), QPointF(square[0].x2, square[0].y2)),
            QRectF(370, key.y - 30, 60, 60))
            << QString::fromUtf16(key.name).toStdString();
    }
    const auto spCircle = primitivesIn(legend.box, PrimitiveKind::Circle, qbColor(9));
    ASSERT_EQ(spCircle.size(), 1u);
    EXPECT_EQ(spCircle[0].radius, 80);
    EXPECT_EQ(spCircle[0].x1, 400);
    EXPECT_EQ(spCircle[0].y1, 6735 - 100);
}
