#include "output/race_report.h"

#include "app/atomic_file.h"
#include "app/format.h"
#include "output/hikaku_chart.h"
#include "output/hikaku_key.h"
#include "output/report_folder.h"
#include "output/report_grids.h"
#include "output/report_parts.h"
#include "output/report_summary.h"
#include "output/view_files.h"
#include "view/bacyu_table.h"
#include "view/grid_render.h"
#include "view/painter_draw_box.h"
#include "window/shown_runner.h"

#include <QDir>
#include <QPainter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace marunoki {

namespace {

constexpr double kTwipsPerCssPixel = 15;  // a CSS pixel is 1/96 inch
// The width of an A4 page between margins of 6 mm, in CSS pixels, a little
// short of it so that rounding never makes a scroll bar or a cut-off column.
constexpr double kPrintWidthPx = 198 / 25.4 * 96 - 8;
const GridCell kDefaultCell;

// Text as a CSS string: every character but letters and digits written as
// an escape, so that nothing in it ends the string or the style element.
QString cssString(const QString &text)
{
    QString css = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c == QChar(0xFFFE) || c == QChar(0xFFFF))
            continue;
        if (c.isLetterOrNumber() || c == u' ' || c.unicode() >= 0x3000)
            css += c;
        else
            css += QStringLiteral("\\%1 ").arg(uint(c.unicode()), 0, 16);
    }
    return css + u'"';
}

// The printed 馬柱's columns in shares of the page width: the run texts as
// wide as 7 pt text needs, the marks and figures as narrow as they can be.
QString bacyuPrintColumns()
{
    const double widths[] = {1.4, 1.7, 10.4, 4.8, 2.5, 2.5};
    const double figure = 2.5;
    double used = figure * kBacyuShownRuns;
    QString css;
    for (size_t c = 0; c < std::size(widths); ++c) {
        css += QStringLiteral("table.bacyu col:nth-child(%1){width:%2%!important}").arg(c + 1).arg(widths[c]);
        used += widths[c];
    }
    const double text = (100 - used) / kBacyuShownRuns;
    for (int k = 1; k <= kBacyuShownRuns; ++k)
        css += QStringLiteral("table.bacyu col:nth-child(%1){width:%2%!important}"
                              "table.bacyu col:nth-child(%3){width:%4%!important}")
                   .arg(bacyuRunTextColumn(k))
                   .arg(figure)
                   .arg(bacyuRunTextColumn(k) + 1)
                   .arg(text, 0, 'f', 2);
    return css;
}

// Screen first; the print rules fit every table to A4 and keep what belongs
// together on one page. A runner's section fits a page: its graph beside the
// head-to-head table, then its panel and its per-run table.
QString styleSheet(const QString &heading)
{
    return QStringLiteral(
        "body{font-family:%1;margin:16px;color:#000;background:#fff}\n"
        "h1{font-size:20px;margin:0 0 4px}h2{font-size:16px;margin:24px 0 6px;border-bottom:2px solid #446}"
        "h3{font-size:13px;margin:12px 0 4px}\n"
        "nav.runners a{display:inline-block;margin:2px 6px 2px 0;white-space:nowrap}\n"
        "nav.step,nav.day{font-size:12px;margin-bottom:6px}nav.step a,nav.day a{margin-right:12px}\n"
        ".conditions{margin:0 0 8px}.scroll{overflow-x:auto}\n"
        "img.graph{max-width:100%;height:auto;border:1px solid #999}\n"
        "pre.panel{font-family:inherit;font-size:13px;background:#f4f4f0;padding:6px 10px;margin:8px 0;"
        "display:inline-block}\n"
        "table.grid{border-collapse:collapse;table-layout:fixed}\n"
        "table.grid td{border:1px solid #c0c0c0;padding:0 2px;height:15px;white-space:pre;overflow:hidden;"
        "text-overflow:clip;line-height:15px}\n"
        "table.grid a{color:inherit}\n"
        "td.r{text-align:right}.mark{color:#c00000;font-weight:bold;text-align:center}\n"
        ".views,.hikaku,.ranks{display:flex;flex-wrap:wrap;gap:12px;align-items:flex-start}\n"
        ".views .graph{max-width:65%}.hikaku .graph{max-width:calc(100% - 260px)}\n"
        "table.rank{border-collapse:collapse;font-size:13px}table.rank "
        "caption{font-weight:bold;text-align:left}"
        "table.rank th,table.rank td{border:1px solid #c0c0c0;padding:1px 6px}table.rank "
        "th{background:#eef1f5}"
        "table.rank a{color:inherit}\n"
        ".key{font-size:13px}.key ul{list-style:none;padding:0;margin:0}.key li{margin:1px "
        "0;white-space:nowrap}"
        ".key li.chosen{font-weight:bold}.key .swatch{display:inline-block;width:18px;height:4px;"
        "margin-right:6px;vertical-align:middle}.key p{margin:0 0 6px}\n"
        "p.legend{font-size:12px;margin:4px 0;max-width:980px}p.legend b.red{color:#f00}"
        "p.legend b.blue{color:#00f}p.legend span.blue{color:#00f}p.legend span.red{color:#f00}"
        "p.legend span.shade{background:#e0e0e0;padding:0 4px}\n"
        "table.grid th{font-weight:normal;background:#eef1f5;border:1px solid #c0c0c0;padding:0 2px;"
        "white-space:nowrap;overflow:hidden}\n"
        "span.result{font-size:13px;font-weight:normal;margin-left:8px}\n"
        // Printed, each page is headed by its race; two runners share a page.
        "@page{size:A4;margin:11mm 6mm 8mm;@top-left{content:%2;font-family:%1;font-size:8pt}"
        "@top-right{content:counter(page) ' / ' counter(pages);font-family:%1;font-size:8pt}}\n"
        "@media print{body{margin:0;font-size:11px}nav{display:none}a{text-decoration:none;color:inherit}"
        ".scroll{overflow:visible}h1,h2,h3{break-after:avoid}h1{font-size:16px}"
        "h2{margin:6px 0 4px;font-size:13px}h3{margin:4px 0 2px;font-size:11px}.conditions{margin:0 0 3px}"
        "section.runner,#summary,#hikaku,tbody.block,p.legend{break-inside:avoid}"
        "section.pair{break-before:page}"
        "table.rank{font-size:10px}table.rank th,table.rank td{padding:0 4px}"
        "table.bacyu{width:100%}"
        "table.bacyu td,table.bacyu th{font-size:7pt!important;height:auto;line-height:1.2;padding:0 1px;"
        "letter-spacing:-0.7px}"
        "%3"
        "p.legend{font-size:8pt;max-width:none}.hikaku .graph{max-height:95mm;width:auto}.key{font-size:9px}"
        ".views{flex-wrap:nowrap}.views .graph{max-height:56mm;max-width:62%;width:auto}.views "
        "p{display:none}"
        "table.taisen{zoom:0.62}pre.panel{font-size:9px;margin:3px 0;padding:2px 6px}"
        "table.seiseki td{height:13px;line-height:13px}}\n")
        .arg(kReportFonts, cssString(heading), bacyuPrintColumns());
}

QString esc(const QString &text)
{
    return xmlText(text);
}

QString runnerId(qint32 n)
{
    return QStringLiteral("uma-%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString runnerHref(qint32 n)
{
    return u'#' + runnerId(n);
}

QString graphFile(qint32 n)
{
    return QStringLiteral("graph-%1.svg").arg(n, 2, 10, QLatin1Char('0'));
}

const QString kHikakuFile = QStringLiteral("hikaku.svg");

Status writeSvg(const QString &path, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return Status::failure(QStringLiteral("%1 を作成できません（図を描けませんでした）").arg(path));
    return writeFileAtomically(path, bytes);
}

// One cell's inline style: only what differs from the table's defaults.
QString cellStyle(const GridCell &cell, const CellGrid &grid)
{
    QStringList style;
    if (cell.background.rgb() != kDefaultCell.background.rgb())
        style << QStringLiteral("background:%1").arg(cell.background.name());
    if (cell.foreground.rgb() != kDefaultCell.foreground.rgb())
        style << QStringLiteral("color:%1").arg(cell.foreground.name());
    if (cell.bold)
        style << QStringLiteral("font-weight:bold");
    if (cell.fontSize > 0 && cell.fontSize != grid.baseFontSize)
        style << QStringLiteral("font-size:%1pt").arg(cell.fontSize);
    return style.join(u';');
}

// Links to the runner before, the top, and the runner after.
QString stepLinks(qint32 n, qint32 last)
{
    QString html = QStringLiteral("<nav class=\"step\">");
    if (n > 1)
        html += QStringLiteral("<a href=\"#%1\">← 前へ</a>").arg(runnerId(n - 1));
    html += QStringLiteral("<a href=\"#top\">↑ 一覧</a>");
    if (n < last)
        html += QStringLiteral("<a href=\"#%1\">次へ →</a>").arg(runnerId(n + 1));
    return html + QStringLiteral("</nav>\n");
}

// Whether the local-racing runs are among the past runs, in the report's words.
QString localRunsText(LocalRuns localRuns)
{
    switch (localRuns) {
    case LocalRuns::Merged:
        return QStringLiteral("地方成績: 含む");
    case LocalRuns::NoDatabase:
        return QStringLiteral("地方成績: 含まない（NAR_data.mdb なし）");
    case LocalRuns::Unreadable:
        return QStringLiteral("地方成績: 含まない（NAR_data.mdb を開けません）");
    case LocalRuns::NotMerged:
        break;
    }
    return QStringLiteral("地方成績: 含まない（サイト2の読込み）");
}

// The graph with its legend, as the window shows it.
Status writeRunnerGraph(const WindowViews &views, const QString &path, const QString &name)
{
    return writeSvg(
        path, svgOf(graphWithLegendTwips(views), name, [&views](QPainter &painter, const QRectF &target) {
            paintGraphWithLegend(views, painter, target);
        }));
}

// The 馬柱's column headings: the runner's columns, then each run's figure and text.
QStringList bacyuHeadings()
{
    QStringList headings {QStringLiteral("枠"), QStringLiteral("番"), QStringLiteral("馬名・父・母"),
        QStringLiteral("騎手・斤量"), QStringLiteral("平均"), QStringLiteral("最高")};
    for (int k = 1; k <= kBacyuShownRuns; ++k)
        headings << QStringLiteral("指数")
                 << (k == 1 ? QStringLiteral("前走") : QStringLiteral("%1走前").arg(k));
    return headings;
}

// What the 馬柱's rows, colours and shading mean, with the race's reference line.
QString bacyuLegend(const RaceStore &store)
{
    return QStringLiteral(
        "<p class=\"legend\">各馬5行: 枠・馬番・馬名（父・母）、性齢・騎手・斤量・馬体重・対戦勝率、"
        "平均列に平均指数と近3ヶ月の平均、最高列に最高指数と近3ヶ月の最高、脚質と脚質指数、対戦の勝・負。"
        "各走: 場 日付 馬場 距離 / レース名 / 着順/頭数 人気 騎手 斤量 / 馬番 馬体重 上がり3F / "
        "タイム(着差) 通過順。指数列はその走の指数、下に上がり指数。<br/>"
        "<b class=\"red\">赤太字の指数</b>: 連対基準線 %1 を超えた走（黒太字は基準線以下）。"
        "平均指数: <b class=\"red\">赤太字</b> 1位、<b class=\"blue\">青太字</b> 2位、"
        "<span class=\"blue\">青</span> 3位。<span class=\"red\">赤の騎手</span>: 前走から乗り替わり。"
        "<span class=\"shade\">灰色の地</span>: 馬と走の区切りの網掛け（意味はありません）。"
        "左端の色: 枠の色。</p>\n")
        .arg(store.referenceFigure > 0 ? formatNumber(store.referenceFigure, QStringLiteral("0.0"))
                                       : QStringLiteral("（なし）"));
}

// The print rule that fits a table of `widthPx` to the page width.
QString printFit(const QString &cssClass, int widthPx)
{
    if (widthPx <= kPrintWidthPx)
        return {};
    return QStringLiteral("@media print{table.%1{zoom:%2}}\n")
        .arg(cssClass, QString::number(kPrintWidthPx / widthPx, 'f', 3));
}

int gridWidthPx(const CellGrid &grid)
{
    int width = 0;
    for (int c = 0; c < grid.cols(); ++c)
        width += int(std::lround(grid.colWidth(c) / kTwipsPerCssPixel));
    return width;
}

}  // namespace

QString gridHtml(const CellGrid &grid, const QString &cssClass, const CellLinks &links, int blockRows,
    const QStringList &headings)
{
    QString html = QStringLiteral(
        "<div class=\"scroll\"><table class=\"grid %1\" style=\"font-size:%2pt\">\n<colgroup>")
                       .arg(esc(cssClass))
                       .arg(grid.baseFontSize);
    for (int c = 0; c < grid.cols(); ++c)
        html += QStringLiteral("<col style=\"width:%1px\"/>")
                    .arg(std::lround(grid.colWidth(c) / kTwipsPerCssPixel));
    html += QStringLiteral("</colgroup>\n");
    if (!headings.isEmpty()) {
        html += QStringLiteral("<thead><tr>");
        for (int c = 0; c < grid.cols(); ++c)
            html += QStringLiteral("<th>%1</th>").arg(esc(headings.value(c)));
        html += QStringLiteral("</tr></thead>\n");
    }
    for (int r = 0; r < grid.rows(); ++r) {
        if (blockRows > 0 && r % blockRows == 0)
            html += QLatin1String(
                r == 0 ? "<tbody class=\"block\">\n" : "</tbody>\n<tbody class=\"block\">\n");
        html += QStringLiteral("<tr>");
        for (int c = 0; c < grid.cols(); ++c) {
            const GridCell &cell = *grid.at(r, c);
            html += QStringLiteral("<td");
            if (alignsRight(cell))
                html += QStringLiteral(" class=\"r\"");
            const QString style = cellStyle(cell, grid);
            if (!style.isEmpty())
                html += QStringLiteral(" style=\"%1\"").arg(style);
            const QString href = links && !cell.text.isEmpty() ? links(r, c) : QString();
            if (href.isEmpty())
                html += u'>' + esc(cell.text) + QStringLiteral("</td>");
            else
                html += QStringLiteral("><a href=\"%1\">%2</a></td>").arg(esc(href), esc(cell.text));
        }
        html += QStringLiteral("</tr>\n");
    }
    if (blockRows > 0 && grid.rows() > 0)
        html += QStringLiteral("</tbody>\n");
    return html + QStringLiteral("</table></div>\n");
}

bool isReportFileName(const QString &name)
{
    static const QRegularExpression graph(QStringLiteral("^(graph|hikaku)-[0-9]{2,}\\.svg$"));
    return name == kReportIndex || name == QLatin1String("hikaku.svg") || graph.match(name).hasMatch();
}

Status writeRaceReport(
    ViewContext &context, const QString &target, const MarksByNumber &marks, const ResultsByNumber &results)
{
    // Written beside the old report and swapped in whole (report_folder.h).
    ReportFolder report(target, &isReportFileName);
    if (!report.opened().ok())
        return report.opened();
    const QString folder = report.path();
    // A failure names the file as the user knows it, not the new folder's.
    const auto named = [&folder, &target](const Status &failed) {
        QString message = failed.message();
        return Status::failure(message.replace(folder, QDir(target).path() + u'/'));
    };
    const ShownRunner keep(context);
    ViewContext shown {context.store, context.settings, 1, context.views, context.messages};
    const RaceStore &store = context.store;
    WindowViews &views = context.views;
    const QDir dir(folder);
    const qint32 last = store.runnerCount();

    // Runners first: the race panel is written by the graph.
    QString sections;
    QString links;
    int runGridWidth = 0;
    int shownRunners = 0;
    for (const qint32 n : store.runners()) {
        views.shownRunner = n;
        showGraph(shown);
        const QString name
            = QStringLiteral("%1 %2").arg(n, 2, 10, QLatin1Char('0')).arg(store.horses[n].name);
        if (Status written = writeRunnerGraph(views, dir.filePath(graphFile(n)), name); !written.ok())
            return named(written);
        const CellGrid runGrid = reportRunGrid(views.runGrid, store, n);
        runGridWidth = gridWidthPx(runGrid);
        links += QStringLiteral("<a href=\"#%1\">%2</a>\n").arg(runnerId(n), esc(name));
        const QString mark = markText(marks, n);
        const QString result = resultText(results, n);
        // Printed, every other runner starts a page: two to a page.
        sections
            += QStringLiteral("<section class=\"runner%1\" id=\"%2\">\n<h2>%3%4%5</h2>\n")
                   .arg(shownRunners++ % 2 == 0 ? QStringLiteral(" pair") : QString(), runnerId(n), esc(name),
                       mark.isEmpty() ? QString()
                                      : QStringLiteral(" <span class=\"mark\">%1</span>").arg(esc(mark)),
                       result.isEmpty()
                           ? QString()
                           : QStringLiteral("<span class=\"result\">%1</span>").arg(esc(result)));
        sections += stepLinks(n, last);
        sections += QStringLiteral(
            "<div class=\"views\">\n<img class=\"graph\" src=\"%1\" alt=\"%2 の指数グラフ\"/>\n")
                        .arg(graphFile(n), esc(name));
        sections += QStringLiteral("<div>\n<h3>対戦成績</h3>\n")
            + gridHtml(views.taisenGrid, QStringLiteral("taisen"), taisenNameLinks(store, runnerHref))
            + QStringLiteral(
                "<p><a href=\"hikaku.svg#%1\">比較グラフ（この馬を太線で）</a></p>\n</div>\n</div>\n")
                  .arg(hikakuLineId(n));
        sections += QStringLiteral("<pre class=\"panel\">%1</pre>\n")
                        .arg(esc(captionLines(views.umaInfo).join(u'\n')));
        sections += QStringLiteral("<h3>成績表</h3>\n") + gridHtml(runGrid, QStringLiteral("seiseki"));
        sections += QStringLiteral("</section>\n");
    }
    const QStringList race = captionLines(views.raceInfo);
    const QString title = raceHeadingOf(store, views.raceInfo);

    // One comparison graph for every runner: the fragment picks the thick one,
    // runner 1 without one.
    const qint32 chosen = 1;
    if (Status written = writeFileAtomically(
            dir.filePath(kHikakuFile), hikakuChartSvg(store, context.settings, chosen, title));
        !written.ok())
        return named(written);
    switchToBacyu(shown);
    const CellGrid bacyu = reportBacyuGrid(views.bacyuGrid, store);

    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                                  "<meta name=\"viewport\" content=\"width=device-width\"/>\n");
    html += QStringLiteral("<title>%1</title>\n<style>\n%2%3</style>\n</head>\n<body>\n")
                .arg(esc(title), styleSheet(title), printFit(QStringLiteral("seiseki"), runGridWidth));
    html += QStringLiteral("<header id=\"top\">\n") + kDayNavigation
        + QStringLiteral("\n<h1>%1</h1>\n").arg(esc(title));
    for (qsizetype i = 1; i < race.size(); ++i)
        html += QStringLiteral("<p class=\"conditions\">%1</p>\n").arg(esc(race[i]));
    html += QStringLiteral("<p class=\"conditions\">%1</p>\n").arg(esc(localRunsText(store.localRuns)));
    html += QStringLiteral(
                "<nav class=\"runners\">\n<a href=\"#summary\">指数順</a>\n<a href=\"#bacyu\">馬柱</a>\n"
                "<a href=\"#hikaku\">比較グラフ</a>\n")
        + links + QStringLiteral("</nav>\n</header>\n");
    html += QStringLiteral("<section id=\"summary\">\n<h2>指数順</h2>\n")
        + summaryHtml(store, runnerHref, marks, results) + QStringLiteral("</section>\n");
    html += QStringLiteral("<section id=\"bacyu\">\n<h2>馬柱</h2>\n")
        + gridHtml(bacyu, QStringLiteral("bacyu"), bacyuNameLinks(store, runnerHref), kBacyuBlockRows,
            bacyuHeadings())
        + bacyuLegend(store) + QStringLiteral("</section>\n");
    html += QStringLiteral("<section id=\"hikaku\">\n<h2>比較グラフ</h2>\n<div class=\"hikaku\">\n"
                           "<img class=\"graph\" src=\"%1\" alt=\"全馬の比較グラフ\"/>\n")
                .arg(kHikakuFile)
        + hikakuKeyHtml(store, chosen, runnerHref) + QStringLiteral("</div>\n</section>\n");
    html += sections + QStringLiteral("</body>\n</html>\n");
    if (Status written = writeFileAtomically(dir.filePath(kReportIndex), html.toUtf8()); !written.ok())
        return named(written);
    return report.swapIn();
}

Status writeRaceReport(const RaceStore &store, const Settings &settings, const QString &folder,
    MessageSink &messages, const MarksByNumber &marks, const ResultsByNumber &results)
{
    WindowViews views;
    ViewContext context {store, settings, 1, views, messages};
    return writeRaceReport(context, folder, marks, results);
}

}  // namespace marunoki
