// The runner's own figures on the graph: the headline (drawHeadline), the speed-figure
// line (drawSpeedFigureLine) and the last-three-furlong circles (drawLastFurlongs).

#include "view/graph_steps.h"
#include "view/view_text.h"

#include "app/format.h"
#include "view/qb_color.h"

namespace marunoki::graph {

namespace {

const QColor kTurfGreen(0, 128, 0);
const QColor kAgariOutline(192, 192, 0);
const QColor kNoVariantFill(255, 255, 255);

bool isDated(const RaceStore &store, qint32 h, int run)
{
    return store.horses[h].runs[run].date > 0;
}

// A figure's height on the graph: its distance above the race's base, kept on the scale.
double figureY(const StepContext &c, float figure)
{
    return c.layout.valueToY(clampToScale(double(figure) - c.store.graphBase));
}

}  // namespace

QString courseMark(const RaceStore &store, qint32 h, int run)
{
    const QString &zyo = store.horses[h].runs[run].course;
    const std::optional<qint32> n = toWholeNumber(zyo);
    if (n && *n >= 1 && *n <= kCourseCount) {
        const QString &name = courseNames()[size_t(*n)];
        // 中京 and 中山 share their first character; 中京 goes by its city, 名古屋.
        if (name == QStringLiteral("中京"))
            return QStringLiteral("名");
        return name.left(1);
    }
    return zyo.left(1);
}

QString headline(const RaceStore &store, qint32 h)
{
    const QChar blank(u' ');
    QString text = QString::number(store.horses[h].runs[0].bracket) + blank + QString::number(h) + blank
        + store.horses[h].name + blank + store.horses[h].sexAge + blank
        + QString::number(store.horses[h].runs[0].bodyWeight) + blank + store.horses[h].runs[0].jockey + u'('
        + plainNumber(store.horses[h].runs[0].weightCarried) + QStringLiteral(") ");
    text += formatNumber(store.horses[h].meanFigure.value, QStringLiteral("##")) + blank
        + formatNumber(store.horses[h].bestFigure.value, QStringLiteral("##")) + blank;
    const float style = store.horses[h].runningStyle.value;
    text += runningStyleMark(style) + formatNumber(style, QStringLiteral("0.0"));
    return text;
}

bool drawHeadline(const StepContext &c)
{
    if (!isRunnerSlot(c.h))
        return false;
    printText(c.box, c.layout.graphLeft, 0, headline(c.store, c.h), 9);
    return true;
}

bool drawLastFurlongs(const StepContext &c)
{
    if (!isRunnerSlot(c.h))
        return false;
    const RaceStore &s = c.store;
    DrawBox &box = c.box;
    const double radius = c.layout.drawScale * 60;
    box.setDrawWidth(3);
    box.setDrawStyle(LineStyle::Solid);
    for (int run = 0; run <= kLastGraphRun; ++run) {
        const float figure = s.horses[c.h].runs[run].last3fFigure;
        if (!isDated(s, c.h, run) || figure == 0)
            continue;
        const double x = c.layout.dateToX(s.horses[c.h].runs[run].date);
        const double y = figureY(c, figure);
        box.setFillStyle(FillStyle::Transparent);
        box.circle(x, y, radius, kAgariOutline);
        // A thin stem to the run's speed figure ties the two circles of one run together.
        box.setDrawWidth(1);
        box.line(x, y, x, figureY(c, s.horses[c.h].runs[run].speedFigure), qbColor(9));
        box.setDrawWidth(3);
        // Only a figure off the whole 0..100 range gets its value printed.
        if (figure > 100) {
            printText(box, x - 130, y + 350,
                courseMark(s, c.h, run) + formatNumber(figure, QStringLiteral("000")), 10);
        } else if (figure < 0) {
            printText(box, x - 130, y - 350,
                courseMark(s, c.h, run) + formatNumber(figure, QStringLiteral("00")), 10);
        }
    }
    return true;
}

bool drawSpeedFigureLine(const StepContext &c)
{
    if (!isRunnerSlot(c.h))
        return false;
    const RaceStore &s = c.store;
    DrawBox &box = c.box;
    double prevX = 0;
    double prevY = 0;
    const double radius = c.layout.drawScale * 80;
    box.setDrawWidth(penWidth(c.layout.drawScale * 3));
    box.setDrawStyle(LineStyle::Solid);
    for (int run = 0; run <= kLastGraphRun; ++run) {
        // A run without a date is no run: the line joins across it.
        if (!isDated(s, c.h, run))
            continue;
        const float figure = s.horses[c.h].runs[run].speedFigure;
        if (figure == 0) {
            // A run without a figure breaks the line.
            prevX = prevY = 0;
            continue;
        }
        const double x = c.layout.dateToX(s.horses[c.h].runs[run].date);
        const double y = figureY(c, figure);
        if (prevX > 0)
            box.line(x, y, prevX, prevY, qbColor(9));

        // A white inside marks a figure computed without the day's track variant.
        const bool withVariant = s.horses[c.h].runs[run].trackVariant != 0;
        box.setFillStyle(FillStyle::Solid);
        if (s.horses[c.h].runs[run].surface == 1) {
            box.setFillColor(withVariant ? kTurfGreen : kNoVariantFill);
            box.circle(x, y, radius, kTurfGreen);
        } else {
            box.setFillColor(withVariant ? qbColor(9) : kNoVariantFill);
            box.circle(x, y, radius, qbColor(9));
        }
        box.setFillStyle(FillStyle::Transparent);

        // A figure off the scale sits on its edge; its value is printed so it is not lost.
        const double d = double(figure) - s.graphBase;
        const QString mark = courseMark(s, c.h, run);
        if (d > 100)
            printText(box, x - 130, y + 150, mark + formatNumber(figure, QStringLiteral("000")), 10);
        else if (d < 0)
            printText(box, x - 130, y - 350, mark + formatNumber(figure, QStringLiteral("00")), 10);
        else
            printText(box, x - 130, y - 350, mark, 10);
        prevX = x;
        prevY = y;
    }
    return true;
}

}  // namespace marunoki::graph
