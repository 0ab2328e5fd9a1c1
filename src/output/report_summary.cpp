#include "output/report_summary.h"

#include "app/format.h"
#include "output/report_parts.h"

#include <algorithm>

namespace marunoki {

std::vector<RankedRunner> rankRunners(const RaceStore &store, Statistic Runner::*statistic)
{
    std::vector<RankedRunner> ranked;
    for (const qint32 n : store.runners()) {
        const Statistic &value = store.horses[n].*statistic;
        ranked.push_back({n, value.value, int(value.runs)});
    }
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

QString resultText(const ResultsByNumber &results, qint32 n)
{
    const auto found = results.find(n);
    if (found == results.end())
        return {};
    const RunnerResult &result = found->second;
    if (!result.finish)
        return result.notRun.isEmpty() ? QStringLiteral("出走せず") : result.notRun;
    QString text = QStringLiteral("%1着").arg(*result.finish);
    if (result.popularity > 0)
        text += QStringLiteral(" %1人気").arg(result.popularity);
    if (result.winOdds)
        text += QStringLiteral(" 単勝%1").arg(formatNumber(float(*result.winOdds), QLatin1String("0.0")));
    return text;
}

QString summaryHtml(const RaceStore &store, const std::function<QString(qint32)> &href,
    const MarksByNumber &marks, const ResultsByNumber &results)
{
    // The results' columns once any is in: 着順, 人気 and 単勝 beside the figures.
    const auto resultCells = [&results](qint32 n) {
        if (results.empty())
            return QString();
        const auto found = results.find(n);
        if (found == results.end())
            return QStringLiteral("<td></td><td></td><td></td>");
        const RunnerResult &result = found->second;
        const QString finish = result.finish ? QString::number(*result.finish) : resultText(results, n);
        const bool ran = result.finish.has_value();
        return QStringLiteral("<td class=\"r\">%1</td><td class=\"r\">%2</td><td class=\"r\">%3</td>")
            .arg(xmlText(finish),
                ran && result.popularity > 0 ? QString::number(result.popularity) : QString(),
                ran && result.winOdds ? formatNumber(float(*result.winOdds), QLatin1String("0.0"))
                                      : QString());
    };
    const struct {
        Statistic Runner::*statistic;
        const char16_t *caption;
        const char *pattern;
    } rankings[] = {
        {&Runner::meanFigure, u"平均指数（14ヶ月）", "0.0"},
        {&Runner::bestFigure, u"最高指数（14ヶ月）", "0"},
        {&Runner::recentMeanFigure, u"平均指数（近3ヶ月）", "0.0"},
    };
    QString html = QStringLiteral("<div class=\"ranks\">\n");
    for (const auto &ranking : rankings) {
        html += QStringLiteral(
            "<table class=\"rank\">\n<caption>%1</caption>\n"
            "<thead><tr><th>順</th><th>印</th><th>馬</th><th>指数</th><th>走数</th>%2</tr></thead>\n"
            "<tbody>\n")
                    .arg(QString::fromUtf16(ranking.caption),
                        results.empty() ? QString()
                                        : QStringLiteral("<th>着順</th><th>人気</th><th>単勝</th>"));
        int place = 0;
        for (const RankedRunner &r : rankRunners(store, ranking.statistic)) {
            const bool counted = r.runs > 0;
            html += QStringLiteral("<tr><td class=\"r\">%1</td><td class=\"mark\">%2</td>"
                                   "<td><a href=\"%3\">%4 %5</a></td>"
                                   "<td class=\"r\">%6</td><td class=\"r\">%7</td>%8</tr>\n")
                        .arg(counted ? QString::number(++place) : QStringLiteral("-"),
                            xmlText(markText(marks, r.number)), xmlText(href(r.number)),
                            QStringLiteral("%1").arg(r.number, 2, 10, QLatin1Char('0')),
                            xmlText(store.horses[r.number].name),
                            counted ? formatNumber(r.figure, QLatin1String(ranking.pattern))
                                    : QStringLiteral("-"),
                            QString::number(r.runs), resultCells(r.number));
        }
        html += QStringLiteral("</tbody>\n</table>\n");
    }
    return html + QStringLiteral("</div>\n");
}

}  // namespace marunoki
