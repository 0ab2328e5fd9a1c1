#include "output/report_summary.h"

#include "app/format.h"
#include "output/report_parts.h"

#include <algorithm>

namespace marunoki {

std::vector<RankedRunner> rankRunners(const RaceStore &store, const StatTable &table)
{
    std::vector<RankedRunner> ranked;
    for (const qint32 n : store.runners())
        ranked.push_back({n, table[size_t(n)][0], int(table[size_t(n)][1])});
    std::stable_sort(ranked.begin(), ranked.end(), [](const RankedRunner &a, const RankedRunner &b) {
        if ((a.runs > 0) != (b.runs > 0))
            return a.runs > 0;
        return a.runs > 0 && a.figure > b.figure;
    });
    return ranked;
}

QString markText(const MarksByNumber &marks, qint32 n)
{
    const auto mark = marks.find(n);
    return mark == marks.end() ? QString() : markSymbol(mark->second);
}

QString summaryHtml(
    const RaceStore &store, const std::function<QString(qint32)> &href, const MarksByNumber &marks)
{
    const struct {
        const StatTable &table;
        const char16_t *caption;
        const char *pattern;
    } rankings[] = {
        {store.U_heikin, u"平均指数（14ヶ月）", "0.0"},
        {store.U_saikou, u"最高指数（14ヶ月）", "0"},
        {store.U_heikin3m, u"平均指数（近3ヶ月）", "0.0"},
    };
    QString html = QStringLiteral("<div class=\"ranks\">\n");
    for (const auto &ranking : rankings) {
        html += QStringLiteral(
            "<table class=\"rank\">\n<caption>%1</caption>\n"
            "<thead><tr><th>順</th><th>印</th><th>馬</th><th>指数</th><th>走数</th></tr></thead>\n"
            "<tbody>\n")
                    .arg(QString::fromUtf16(ranking.caption));
        int place = 0;
        for (const RankedRunner &r : rankRunners(store, ranking.table)) {
            const bool counted = r.runs > 0;
            html += QStringLiteral("<tr><td class=\"r\">%1</td><td class=\"mark\">%2</td>"
                                   "<td><a href=\"%3\">%4 %5</a></td>"
                                   "<td class=\"r\">%6</td><td class=\"r\">%7</td></tr>\n")
                        .arg(counted ? QString::number(++place) : QStringLiteral("-"),
                            xmlText(markText(marks, r.number)), xmlText(href(r.number)),
                            QStringLiteral("%1").arg(r.number, 2, 10, QLatin1Char('0')),
                            xmlText(store.U_name[r.number]),
                            counted ? formatNumber(r.figure, QLatin1String(ranking.pattern))
                                    : QStringLiteral("-"),
                            QString::number(r.runs));
        }
        html += QStringLiteral("</tbody>\n</table>\n");
    }
    return html + QStringLiteral("</div>\n");
}

}  // namespace marunoki
