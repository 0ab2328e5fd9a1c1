#include "output/race_report.h"

#include "app/atomic_file.h"
#include "app/format.h"
#include "output/report_folder.h"
#include "output/view_files.h"
#include "view/grid_render.h"
#include "view/painter_draw_box.h"
#include "window/shown_runner.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace marunoki {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerCssPixel = 15;  // a CSS pixel is 1/96 inch
const GridCell kDefaultCell;

const QString kStyleSheet = QStringLiteral(
    "body{font-family:'IPAPGothic','Noto Sans CJK JP','MS PGothic',sans-serif;margin:16px;color:#000;"
    "background:#fff}\n"
    "h1{font-size:20px;margin:0 0 4px}h2{font-size:16px;margin:24px 0 6px;border-bottom:2px solid #446}"
    "h3{font-size:13px;margin:12px 0 4px}\n"
    "nav.runners a{display:inline-block;margin:2px 6px 2px 0;white-space:nowrap}\n"
    "nav.step{font-size:12px;margin-bottom:6px}nav.step a{margin-right:12px}\n"
    ".conditions{margin:0 0 8px}.scroll{overflow-x:auto}\n"
    "img.graph{max-width:100%;height:auto;border:1px solid #999}\n"
    "pre.panel{font-family:inherit;font-size:13px;background:#f4f4f0;padding:6px 10px;margin:8px 0;"
    "display:inline-block}\n"
    "table.grid{border-collapse:collapse;table-layout:fixed}\n"
    "table.grid td{border:1px solid #c0c0c0;padding:0 2px;height:15px;white-space:pre;overflow:hidden;"
    "text-overflow:clip;line-height:15px}\n"
    "td.r{text-align:right}\n");

// Text for the report's HTML and SVG: escaped, and without the control
// characters XML does not allow even escaped (a page field may carry them), so
// that the SVG files stay well formed and the HTML reads as XHTML as well.
QString xmlText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF)
            continue;
        clean += c;
    }
    return clean.toHtmlEscaped();
}

QString esc(const QString &text)
{
    return xmlText(text);
}

QString runnerId(qint32 n)
{
    return QStringLiteral("uma-%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString graphFile(qint32 n)
{
    return QStringLiteral("graph-%1.svg").arg(n, 2, 10, QLatin1Char('0'));
}

QStringList captionLines(const QString &caption)
{
    QStringList lines = caption.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")));
    lines.removeAll(QString());
    return lines;
}

// A picture of `twips` as an SVG file: vector drawing, sized for a screen at
// the pictures' resolution.
QByteArray svgOf(const QSizeF &twips, const QString &title,
    const std::function<void(QPainter &painter, const QRectF &target)> &paint)
{
    const double scale = kViewPictureDpi / kTwipsPerInch;
    const QSizeF size(std::ceil(twips.width() * scale), std::ceil(twips.height() * scale));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (size.isEmpty() || !buffer.open(QIODevice::WriteOnly))
        return {};
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size.toSize());
    svg.setViewBox(QRectF(QPointF(0, 0), size));
    svg.setResolution(kViewPictureDpi);
    // QSvgGenerator writes the title as given.
    svg.setTitle(xmlText(title));
    QPainter painter;
    if (!painter.begin(&svg))
        return {};
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    paint(painter, QRectF(0, 0, twips.width() * scale, twips.height() * scale));
    if (!painter.end())
        return {};
    // The drawn texts are escaped by the generator, but control characters
    // of a page field pass through; in UTF-8 they are single bytes of their own.
    bytes.removeIf([](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 && u != '\t' && u != '\n' && u != '\r';
    });
    bytes.replace("\xEF\xBF\xBE", "").replace("\xEF\xBF\xBF", "");  // U+FFFE, U+FFFF
    return bytes;
}

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

}  // namespace

QString gridHtml(const CellGrid &grid, const QString &cssClass)
{
    QString html = QStringLiteral(
        "<div class=\"scroll\"><table class=\"grid %1\" style=\"font-size:%2pt\">\n<colgroup>")
                       .arg(esc(cssClass))
                       .arg(grid.baseFontSize);
    for (int c = 0; c < grid.cols(); ++c)
        html += QStringLiteral("<col style=\"width:%1px\"/>")
                    .arg(std::lround(grid.colWidth(c) / kTwipsPerCssPixel));
    html += QStringLiteral("</colgroup>\n");
    for (int r = 0; r < grid.rows(); ++r) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < grid.cols(); ++c) {
            const GridCell &cell = *grid.at(r, c);
            html += QStringLiteral("<td");
            if (alignsRight(cell))
                html += QStringLiteral(" class=\"r\"");
            const QString style = cellStyle(cell, grid);
            if (!style.isEmpty())
                html += QStringLiteral(" style=\"%1\"").arg(style);
            html += u'>' + esc(cell.text) + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table></div>\n");
}

bool isReportFileName(const QString &name)
{
    static const QRegularExpression graph(QStringLiteral("^graph-[0-9]{2,}\\.svg$"));
    return name == kReportIndex || name == QLatin1String("hikaku.svg") || graph.match(name).hasMatch();
}

Status writeRaceReport(ViewContext &context, const QString &target)
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
    for (const qint32 n : store.runners()) {
        views.shownRunner = n;
        showGraph(shown);
        const QString name = QStringLiteral("%1 %2").arg(n, 2, 10, QLatin1Char('0')).arg(store.U_name[n]);
        const QByteArray svg
            = svgOf(graphWithLegendTwips(views), name, [&views](QPainter &painter, const QRectF &target) {
                  paintGraphWithLegend(views, painter, target);
              });
        if (Status written = writeSvg(dir.filePath(graphFile(n)), svg); !written.ok())
            return named(written);
        links += QStringLiteral("<a href=\"#%1\">%2</a>\n").arg(runnerId(n), esc(name));
        sections += QStringLiteral("<section class=\"runner\" id=\"%1\">\n<h2>%2</h2>\n")
                        .arg(runnerId(n), esc(name));
        sections += stepLinks(n, last);
        sections += QStringLiteral("<img class=\"graph\" src=\"%1\" alt=\"%2 の指数グラフ\"/>\n")
                        .arg(graphFile(n), esc(name));
        sections += QStringLiteral("<pre class=\"panel\">%1</pre>\n")
                        .arg(esc(captionLines(views.umaInfo).join(u'\n')));
        sections += QStringLiteral("<h3>成績表</h3>\n") + gridHtml(views.runGrid, QStringLiteral("seiseki"));
        sections
            += QStringLiteral("<h3>対戦成績</h3>\n") + gridHtml(views.taisenGrid, QStringLiteral("taisen"));
        sections += QStringLiteral("</section>\n");
    }
    const QStringList race = captionLines(views.raceInfo);
    const QString title = race.value(0);

    switchToHikaku(shown);
    const QByteArray hikaku = svgOf(QSizeF(views.picture1.width(), views.picture1.height()),
        QStringLiteral("比較グラフ"),
        [&views](QPainter &painter, const QRectF &target) { paintDrawing(views.picture1, painter, target); });
    if (Status written = writeSvg(dir.filePath(QStringLiteral("hikaku.svg")), hikaku); !written.ok())
        return named(written);
    switchToBacyu(shown);

    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                                  "<meta name=\"viewport\" content=\"width=device-width\"/>\n");
    html += QStringLiteral("<title>%1</title>\n<style>\n%2</style>\n</head>\n<body>\n")
                .arg(esc(title), kStyleSheet);
    html += QStringLiteral("<header id=\"top\">\n<h1>%1</h1>\n").arg(esc(title));
    for (qsizetype i = 1; i < race.size(); ++i)
        html += QStringLiteral("<p class=\"conditions\">%1</p>\n").arg(esc(race[i]));
    if (store.raceDate > 0)
        html += QStringLiteral("<p class=\"conditions\">%1</p>\n")
                    .arg(esc(formatDate(store.raceDate, QStringLiteral("yyyy/mm/dd"))));
    html += QStringLiteral(
                "<nav class=\"runners\">\n<a href=\"#bacyu\">馬柱</a>\n<a href=\"#hikaku\">比較グラフ</a>\n")
        + links + QStringLiteral("</nav>\n</header>\n");
    html += QStringLiteral("<section id=\"bacyu\">\n<h2>馬柱</h2>\n")
        + gridHtml(views.bacyuGrid, QStringLiteral("bacyu")) + QStringLiteral("</section>\n");
    html
        += QStringLiteral("<section id=\"hikaku\">\n<h2>比較グラフ</h2>\n"
                          "<img class=\"graph\" src=\"hikaku.svg\" alt=\"全馬の比較グラフ\"/>\n</section>\n");
    html += sections + QStringLiteral("</body>\n</html>\n");
    if (Status written = writeFileAtomically(dir.filePath(kReportIndex), html.toUtf8()); !written.ok())
        return named(written);
    return report.swapIn();
}

Status writeRaceReport(
    const RaceStore &store, const Settings &settings, const QString &folder, MessageSink &messages)
{
    WindowViews views;
    ViewContext context {store, settings, 1, views, messages};
    return writeRaceReport(context, folder);
}

}  // namespace marunoki
