// The grid and axes of the speed-figure graph (drawAxes).

#include "view/graph_steps.h"

#include "app/format.h"
#include "view/qb_color.h"

namespace marunoki::graph {

namespace {

// A date label must name a calendar day the date formats can write (years 100 to 9999).
bool isCalendarDay(double serial)
{
    static const double first = serialFromYmd(100, 1, 1).value_or(0);
    static const double last = serialFromYmd(9999, 12, 31).value_or(0);
    return serial >= first && serial < last + 1;
}

}  // namespace

bool drawAxes(const StepContext &c)
{
    const GraphLayout &l = c.layout;
    DrawBox &box = c.box;
    const double right = l.graphLeft + l.plotWidth;
    const double bottom = l.graphTop + l.plotHeight;

    // One dotted line every 10 units, the middle one solid.
    box.setDrawWidth(1);
    box.setDrawStyle(LineStyle::Dot);
    for (int i = 1; i <= 9; ++i) {
        const double y = l.plotHeight / 10 * i + l.graphTop;
        box.line(l.graphLeft, y, right, y, qbColor(8));
    }
    box.setDrawStyle(LineStyle::Solid);
    const double middle = l.plotHeight / 10 * 5 + l.graphTop;
    box.line(l.graphLeft, middle, right, middle, qbColor(0));

    // Value labels from 100 down to 10, shifted by the race's base; the bottom line has none.
    for (int i = 0; i <= 9; ++i) {
        const qint64 value = qint64(10 - i) * 10 + c.store.graphBase;
        printText(box, 0, l.plotHeight / 10 * i + l.graphTop - 40, QString::number(value), 8);
    }

    // One dotted vertical every 14 days, the last on the right edge.
    const int weeks = 30;  // 420 / 14
    box.setDrawWidth(1);
    box.setDrawStyle(LineStyle::Dot);
    for (int i = 1; i <= weeks; ++i) {
        const double x = l.plotWidth / weeks * i + l.graphLeft;
        box.line(x, l.graphTop, x, bottom, qbColor(8));
    }

    // A date label every 70 days from the left edge.
    const int dateSteps = 6;  // 420 / 70
    for (int i = 0; i <= dateSteps; ++i) {
        const double date = l.raceDate - kGraphDays + 70.0 * i;
        if (!isCalendarDay(date))
            return false;
        printText(box, l.plotWidth / dateSteps * i + l.graphLeft - 170, l.plotHeight + l.graphTop + 5,
            formatDate(date, QStringLiteral("m/d")), 8);
    }

    // The reference line, wherever the base puts it (not clamped).
    box.setDrawWidth(4);
    box.setDrawStyle(LineStyle::DashDot);
    const double y
        = (100 - (double(c.store.referenceFigure) - c.store.graphBase)) / 100 * l.plotHeight + l.graphTop;
    box.line(l.graphLeft, y, right, y, qbColor(14));
    printText(box, l.graphLeft + 50, y - 200,
        formatNumber(c.kakeritu, QStringLiteral("00%")) + QStringLiteral("ライン"), 8);

    box.setDrawWidth(2);
    box.setDrawStyle(LineStyle::Solid);
    box.box(l.graphLeft, l.graphTop, right, bottom, qbColor(0));
    return true;
}

}  // namespace marunoki::graph
