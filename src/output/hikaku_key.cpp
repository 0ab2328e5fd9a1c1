#include "output/hikaku_key.h"

#include "output/report_parts.h"
#include "view/graph_layout.h"
#include "view/hikaku_lines.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <vector>

namespace marunoki {

namespace {

QString number(qint32 n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

}  // namespace

void paintHikakuTags(const RaceStore &store, const DrawBox &box, QPainter &painter, const QRectF &target)
{
    if (!(box.width() > 0) || !(box.height() > 0))
        return;
    const GraphLayout layout = GraphLayout::of(box, store.raceDate);
    const std::array<QColor, kRunnerSlots> colours = hikakuColours(store);
    const double scale = target.width() / box.width();
    QFont font(graphFontName());
    font.setPixelSize(std::max(6, int(180 * scale)));
    font.setBold(true);
    painter.save();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    std::vector<QRectF> placed;
    for (const qint32 k : store.runners()) {
        const std::optional<QPointF> point = hikakuNewestPoint(store, k, layout);
        if (!point)
            continue;
        const QString text = QString::number(k);
        const QPointF at = target.topLeft() + *point * scale;
        const double pad = metrics.height() * 0.15;
        QRectF tag(0, 0, metrics.horizontalAdvance(text) + 2 * pad, metrics.height());
        tag.moveTopLeft(QPointF(at.x() + 80 * scale, at.y() - tag.height() / 2));
        for (bool moved = true; moved;) {
            moved = false;
            for (const QRectF &other : placed) {
                if (tag.intersects(other)) {
                    tag.moveTop(other.bottom() + 1);
                    moved = true;
                }
            }
        }
        placed.push_back(tag);
        const QColor colour = colours[size_t(k)];
        painter.setPen(QPen(colour, std::max(1.0, 15 * scale)));
        // A tag moved off its circle points back to it.
        if (tag.center().y() - at.y() > tag.height())
            painter.drawLine(at, QPointF(tag.left(), tag.center().y()));
        painter.setBrush(Qt::white);
        painter.drawRect(tag);
        painter.drawText(tag, Qt::AlignCenter, text);
    }
    painter.restore();
}

void paintHikakuKey(
    const RaceStore &store, qint32 chosen, QPainter &painter, const QRectF &target, double scale)
{
    const std::array<QColor, kRunnerSlots> colours = hikakuColours(store);
    QFont font(graphFontName());
    font.setPixelSize(std::max(6, int(180 * scale)));
    painter.save();
    painter.setFont(font);
    const double line = QFontMetricsF(font).height() * 1.25;
    double y = target.top() + 200 * scale;
    const double x = target.left() + 100 * scale;
    const auto row = [&](const QString &text, const QColor &colour, bool bold) {
        QFont face = font;
        face.setBold(bold);
        painter.setFont(face);
        painter.setPen(colour);
        painter.drawText(QRectF(x, y, target.right() - x, line), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += line;
    };
    if (store.isRunner(chosen))
        row(QStringLiteral("太線: %1 %2").arg(number(chosen), store.U_name[chosen]), Qt::black, true);
    for (const qint32 k : store.runners()) {
        if (!store.U_name[k].isEmpty())
            row(QStringLiteral("%1 %2").arg(number(k), store.U_name[k]), colours[size_t(k)], k == chosen);
    }
    painter.restore();
}

QString hikakuKeyHtml(const RaceStore &store, qint32 chosen, const std::function<QString(qint32)> &href)
{
    const std::array<QColor, kRunnerSlots> colours = hikakuColours(store);
    QString html = QStringLiteral("<div class=\"key\">\n");
    if (store.isRunner(chosen))
        html += QStringLiteral("<p class=\"chosen\">太線: <a href=\"%1\">%2 %3</a></p>\n")
                    .arg(xmlText(href(chosen)), number(chosen), xmlText(store.U_name[chosen]));
    html += QStringLiteral("<ul>\n");
    for (const qint32 k : store.runners()) {
        if (store.U_name[k].isEmpty())
            continue;
        const QString colour = colours[size_t(k)].name();
        html += QStringLiteral("<li%1><span class=\"swatch\" style=\"background:%2\"></span>"
                               "<a href=\"%3\" style=\"color:%2\">%4 %5</a></li>\n")
                    .arg(k == chosen ? QStringLiteral(" class=\"chosen\"") : QString(), colour,
                        xmlText(href(k)), number(k), xmlText(store.U_name[k]));
    }
    return html + QStringLiteral("</ul>\n</div>\n");
}

}  // namespace marunoki
