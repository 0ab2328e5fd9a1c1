#include "output/hikaku_key.h"

#include "output/report_parts.h"
#include "view/hikaku_lines.h"

namespace marunoki {

namespace {

QString number(qint32 n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString hikakuKeyHtml(const RaceStore &store, qint32 chosen, const std::function<QString(qint32)> &href)
{
    const std::array<QColor, kRunnerSlots> colours = hikakuColours(store);
    QString html = QStringLiteral("<div class=\"key\">\n");
    if (store.isRunner(chosen))
        html += QStringLiteral("<p class=\"chosen\">太線: <a href=\"%1\">%2 %3</a></p>\n")
                    .arg(xmlText(href(chosen)), number(chosen), xmlText(store.horses[chosen].name));
    html += QStringLiteral("<ul>\n");
    for (const qint32 k : store.runners()) {
        if (store.horses[k].name.isEmpty())
            continue;
        const QString colour = colours[size_t(k)].name();
        html += QStringLiteral("<li%1><span class=\"swatch\" style=\"background:%2\"></span>"
                               "<a href=\"%3\" style=\"color:%2\">%4 %5</a></li>\n")
                    .arg(k == chosen ? QStringLiteral(" class=\"chosen\"") : QString(), colour,
                        xmlText(href(k)), number(k), xmlText(store.horses[k].name));
    }
    return html + QStringLiteral("</ul>\n</div>\n");
}

}  // namespace marunoki
