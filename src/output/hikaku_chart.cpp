#include "output/hikaku_chart.h"

#include "app/format.h"
#include "output/report_parts.h"
#include "view/graph_layout.h"
#include "view/hikaku_lines.h"

#include <QDate>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace marunoki {

namespace {

// The picture in SVG units (CSS pixels) and the plot area inside it.
constexpr double kWidth = 960;
constexpr double kHeight = 520;
constexpr double kLeft = 56;
constexpr double kRight = kWidth - 40;
constexpr double kTop = 44;
constexpr double kBottom = kHeight - 44;
constexpr double kThinPen = 1.2;
constexpr double kThickPen = 3.5;
constexpr double kThinDot = 2.2;
constexpr double kThickDot = 5;
constexpr double kTagHeight = 13;

QString num(double v)
{
    return QString::number(v, 'f', 1);
}

struct Point {
    double x = 0, y = 0;
};

// Where run r of runner k stands: its date against the runner's own today
// (run 0) as the window plots it, its figure on the scale.
Point plotted(const RaceStore &store, qint32 k, int r, const ChartScale &scale)
{
    const double days = store.horses[k].runs[0].date - store.horses[k].runs[r].date;
    const double x = kLeft + (1 - days / kGraphDays) * (kRight - kLeft);
    const double y = kBottom
        - (store.horses[k].runs[r].speedFigure - scale.low) / (scale.high - scale.low) * (kBottom - kTop);
    return {x, y};
}

bool hasFigure(const RaceStore &store, qint32 k, int r)
{
    return store.horses[k].runs[r].date > 0 && store.horses[k].runs[r].speedFigure != 0
        && std::isfinite(store.horses[k].runs[r].speedFigure);
}

// The value axis: a line and a label every step.
QString valueAxis(const ChartScale &scale)
{
    QString svg = QStringLiteral("<g class=\"axis\" font-size=\"12\" fill=\"#333\">\n");
    for (double v = scale.low; v <= scale.high + 1e-9; v += scale.step) {
        const double y = kBottom - (v - scale.low) / (scale.high - scale.low) * (kBottom - kTop);
        svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"#ddd\"/>"
                              "<text x=\"%4\" y=\"%5\" text-anchor=\"end\">%6</text>\n")
                   .arg(num(kLeft), num(y), num(kRight), num(kLeft - 6), num(y + 4))
                   .arg(std::lround(v));
    }
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"start\">指数</text>\n")
               .arg(num(kLeft - 40), num(kTop - 10));
    return svg + QStringLiteral("</g>\n");
}

// The date axis: a tick at the first of every month in the 420 days, named by
// its month (with the year at January and at the first tick).
QString dateAxis(double raceDate)
{
    QString svg = QStringLiteral("<g class=\"axis\" font-size=\"12\" fill=\"#333\">\n");
    if (!(raceDate > 0))
        return svg + QStringLiteral("</g>\n");
    const Ymd today = ymdFromSerial(raceDate);
    const QDate last(today.year, today.month, today.day);
    const QDate first = last.addDays(-qint64(kGraphDays));
    bool named = false;
    for (QDate month(first.year(), first.month(), 1); month <= last; month = month.addMonths(1)) {
        if (month < first)
            continue;
        const double days = first.daysTo(month);
        const double x = kLeft + days / kGraphDays * (kRight - kLeft);
        const QString label = month.month() == 1 || !named
            ? QStringLiteral("%1/%2").arg(month.year()).arg(month.month())
            : QStringLiteral("%1月").arg(month.month());
        named = true;
        svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%1\" y2=\"%3\" stroke=\"#eee\"/>"
                              "<text x=\"%1\" y=\"%4\" text-anchor=\"middle\">%5</text>\n")
                   .arg(num(x), num(kTop), num(kBottom), num(kBottom + 16), label);
    }
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"end\">%3 レース日</text>\n")
               .arg(num(kRight), num(kBottom + 32), formatDate(raceDate, QStringLiteral("yyyy/mm/dd")));
    return svg + QStringLiteral("</g>\n");
}

// The tags of the lines, moved down where they would cover each other.
struct Tag {
    qint32 runner = 0;
    Point at;  // the newest circle
    double top = 0;
};

// Calls visit(k, r) for the runs with a figure of every runner drawn, newest
// first, until it returns false for that runner.
template <typename Visit>
void forEachFigure(const RaceStore &store, Visit visit)
{
    for (const qint32 k : store.runners()) {
        if (store.horses[k].name.isEmpty())
            continue;
        for (int r = 0; r <= kLastGraphRun; ++r) {
            if (hasFigure(store, k, r) && !visit(k, r))
                break;
        }
    }
}

std::vector<Tag> placeTags(const RaceStore &store, const ChartScale &scale)
{
    std::vector<Tag> tags;
    forEachFigure(store, [&](qint32 k, int r) {
        const Point at = plotted(store, k, r, scale);
        tags.push_back({k, at, at.y - kTagHeight / 2});
        return false;
    });
    std::stable_sort(tags.begin(), tags.end(), [](const Tag &a, const Tag &b) { return a.top < b.top; });
    for (size_t i = 1; i < tags.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            const bool near = std::abs(tags[j].at.x - tags[i].at.x) < 22;
            if (near && tags[i].top < tags[j].top + kTagHeight)
                tags[i].top = tags[j].top + kTagHeight;
        }
    }
    return tags;
}

// The rules that make the runner named by the fragment the thick one.
QString fragmentStyle(const RaceStore &store)
{
    QString css = QStringLiteral(
        "<style>\n"
        ".u:target{stroke-width:%1px}.u:target circle{r:%2px}.u:target text{font-weight:bold}\n"
        "svg:has(.u:target) .chosen:not(:target){stroke-width:%3px}"
        "svg:has(.u:target) .chosen:not(:target) circle{r:%4px}"
        "svg:has(.u:target) .chosen:not(:target) text{font-weight:normal}\n"
        ".who{display:none}.who.chosen{display:inline}svg:has(.u:target) .who.chosen{display:none}\n")
                      .arg(kThickPen)
                      .arg(kThickDot)
                      .arg(kThinPen)
                      .arg(kThinDot);
    for (const qint32 k : store.runners())
        css += QStringLiteral("svg:has(#%1:target) #w%2{display:inline}\n")
                   .arg(hikakuLineId(k))
                   .arg(k, 2, 10, QLatin1Char('0'));
    return css + QStringLiteral("</style>\n");
}

}  // namespace

QString hikakuLineId(qint32 n)
{
    return QStringLiteral("u%1").arg(n, 2, 10, QLatin1Char('0'));
}

ChartScale hikakuScale(const RaceStore &store)
{
    double low = store.referenceFigure > 0 ? store.referenceFigure : HUGE_VAL;
    double high = store.referenceFigure > 0 ? store.referenceFigure : -HUGE_VAL;
    forEachFigure(store, [&](qint32 k, int r) {
        low = std::min(low, double(store.horses[k].runs[r].speedFigure));
        high = std::max(high, double(store.horses[k].runs[r].speedFigure));
        return true;
    });
    if (!(low <= high))
        return {};
    ChartScale scale;
    const double room = 2;
    scale.step = high - low + 2 * room <= 30 ? 5 : 10;
    scale.low = std::floor((low - room) / scale.step) * scale.step;
    scale.high = std::ceil((high + room) / scale.step) * scale.step;
    return scale;
}

namespace {

// The graph; with fragments, the rules and the names that let a fragment choose
// the thick runner (a renderer without style sheets would show every name).
QByteArray chartSvg(
    const RaceStore &store, const Settings &settings, qint32 chosen, const QString &title, bool fragments)
{
    const ChartScale scale = hikakuScale(store);
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%1\" "
                                 "height=\"%2\" viewBox=\"0 0 %1 %2\" font-family=\"%3\">\n")
                      .arg(kWidth)
                      .arg(kHeight)
                      .arg(xmlText(kReportFonts));
    svg += QStringLiteral("<title>比較グラフ %1</title>\n").arg(xmlText(title));
    if (fragments)
        svg += fragmentStyle(store);
    svg += QStringLiteral("<rect width=\"%1\" height=\"%2\" fill=\"#fff\"/>\n").arg(kWidth).arg(kHeight);
    svg += QStringLiteral(
        "<text x=\"%1\" y=\"20\" font-size=\"15\" font-weight=\"bold\">比較グラフ　%2</text>\n")
               .arg(num(kLeft), xmlText(title));
    // Who is drawn thick: the chosen runner, or the one the fragment names.
    for (const qint32 k : store.runners()) {
        if (store.horses[k].name.isEmpty() || (!fragments && k != chosen))
            continue;
        svg += QStringLiteral("<text id=\"w%1\" class=\"who%2\" x=\"%3\" y=\"36\" font-size=\"12\">"
                              "太線: %1 %4</text>\n")
                   .arg(k, 2, 10, QLatin1Char('0'))
                   .arg(k == chosen ? QStringLiteral(" chosen") : QString(), num(kLeft),
                       xmlText(store.horses[k].name));
    }
    svg += valueAxis(scale) + dateAxis(store.raceDate);
    svg += QStringLiteral(
        "<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"none\" stroke=\"#000\"/>\n")
               .arg(num(kLeft), num(kTop), num(kRight - kLeft), num(kBottom - kTop));
    if (store.referenceFigure > 0) {
        const double y
            = kBottom - (store.referenceFigure - scale.low) / (scale.high - scale.low) * (kBottom - kTop);
        svg += QStringLiteral(
            "<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"#e0b800\" stroke-width=\"2\" "
            "stroke-dasharray=\"10 4 2 4\"/>\n"
            "<text x=\"%4\" y=\"%5\" font-size=\"12\" fill=\"#8a6d00\">連対基準線 %6（%7ライン）"
            "</text>\n")
                   .arg(num(kLeft), num(y), num(kRight), num(kLeft + 6), num(y - 5),
                       formatNumber(store.referenceFigure, QStringLiteral("0.0")),
                       formatNumber(settings.kakeritu, QStringLiteral("00%")));
    }

    const std::array<QColor, kRunnerSlots> colours = hikakuColours(store);
    const std::vector<Tag> tags = placeTags(store, scale);
    for (const qint32 k : store.runners()) {
        if (store.horses[k].name.isEmpty())
            continue;
        const bool thick = k == chosen;
        const QString colour = colours[size_t(k)].name();
        svg += QStringLiteral("<g id=\"%1\" class=\"u%2\" stroke=\"%3\" fill=\"%3\" stroke-width=\"%4\">\n")
                   .arg(hikakuLineId(k), thick ? QStringLiteral(" chosen") : QString(), colour)
                   .arg(thick ? kThickPen : kThinPen);
        // A run without a figure breaks the line; one without a date is passed over.
        QString points;
        QString dots;
        const auto endLine = [&svg, &points]() {
            if (points.count(u' ') > 1)
                svg += QStringLiteral("<polyline fill=\"none\" points=\"%1\"/>\n").arg(points.trimmed());
            points.clear();
        };
        for (int r = 0; r <= kLastGraphRun; ++r) {
            if (!(store.horses[k].runs[r].date > 0))
                continue;
            if (!hasFigure(store, k, r)) {
                endLine();
                continue;
            }
            const Point p = plotted(store, k, r, scale);
            points += QStringLiteral("%1,%2 ").arg(num(p.x), num(p.y));
            dots += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" stroke=\"none\"/>")
                        .arg(num(p.x), num(p.y), num(thick ? kThickDot : kThinDot));
        }
        endLine();
        svg += dots + u'\n';
        for (const Tag &tag : tags) {
            if (tag.runner != k)
                continue;
            if (tag.top > tag.at.y)
                svg += QStringLiteral("<polyline fill=\"none\" stroke-width=\"1\" points=\"%1,%2 %3,%4\"/>")
                           .arg(num(tag.at.x), num(tag.at.y), num(tag.at.x + 6),
                               num(tag.top + kTagHeight / 2));
            const QString number = QString::number(k);
            svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"#fff\" "
                                  "stroke-width=\"1\"/><text x=\"%5\" y=\"%6\" font-size=\"11\" "
                                  "font-weight=\"%7\" stroke=\"none\" text-anchor=\"middle\">%8</text>\n")
                       .arg(num(tag.at.x + 6), num(tag.top), num(7.0 * number.size() + 5), num(kTagHeight),
                           num(tag.at.x + 6 + (7.0 * number.size() + 5) / 2), num(tag.top + kTagHeight - 3),
                           thick ? QStringLiteral("bold") : QStringLiteral("normal"), number);
        }
        svg += QStringLiteral("</g>\n");
    }
    return (svg + QStringLiteral("</svg>\n")).toUtf8();
}

}  // namespace

QByteArray hikakuChartSvg(
    const RaceStore &store, const Settings &settings, qint32 chosen, const QString &title)
{
    return chartSvg(store, settings, chosen, title, true);
}

QImage hikakuChartImage(
    const RaceStore &store, const Settings &settings, qint32 chosen, const QString &title, double scale)
{
    QSvgRenderer renderer(chartSvg(store, settings, chosen, title, false));
    if (!renderer.isValid())
        return {};
    QImage image(QSize(int(kWidth * scale), int(kHeight * scale)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return image;
}

}  // namespace marunoki
