#include "output/tally_files.h"

#include "journal/tally_request.h"
#include "output/csv_export.h"
#include "output/report_parts.h"

#include "app/regular_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>

namespace marunoki {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// The title every tally page carries near its start.
const QByteArray kTallyTitle = QByteArrayLiteral("<title>成績集計</title>");
constexpr qint64 kTallyPageHead = 512;

// The race report's look, and a page that prints on A4.
const QString kStyleSheet = QStringLiteral(
    "body{font-family:'IPAPGothic','Noto Sans CJK JP','MS PGothic',sans-serif;margin:16px;color:#000;"
    "background:#fff}\n"
    "h1{font-size:20px;margin:0 0 4px}h2{font-size:16px;margin:24px 0 6px;border-bottom:2px solid #446}\n"
    ".conditions{margin:0 0 8px}\n"
    "section{break-inside:avoid}h2{break-after:avoid}\n"
    ".pair{display:flex;flex-wrap:wrap;gap:16px;align-items:flex-start}\n"
    "table.grid{border-collapse:collapse}\n"
    "table.grid th,table.grid td{border:1px solid #c0c0c0;padding:1px "
    "8px;font-size:13px;white-space:nowrap}\n"
    "table.grid th{background:#e8e8f0;font-weight:normal}\n"
    "td.r{text-align:right}\n"
    "p.favourite{font-size:13px;margin:6px 0}\n"
    "p.return{font-size:16px;font-weight:bold;margin:4px 0 8px}\n"
    "span.ci{font-size:10px;color:#666}\n"
    "tr.tentative td{color:#777}\n"
    "p.footer{margin-top:24px;font-size:13px;border-top:1px solid #999;padding-top:6px}\n"
    "img.chart{border:1px solid #999;max-width:100%;height:auto}\n"
    "@media print{@page{size:A4}body{margin:0}}\n");

// The three rates of a row with the colours of their bars.
struct Rate {
    const char *name;
    double (TallyRow::*value)() const;
    const char *colour;
};
const std::array<Rate, 3> kRates = {{{"勝率", &TallyRow::winRate, "#c0392b"},
    {"連対率", &TallyRow::placeRate, "#2e6ab0"}, {"複勝率", &TallyRow::showRate, "#5f9e4a"}}};

QString esc(const QString &text)
{
    return xmlText(text);
}

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString csvLine(const std::vector<QString> &cells)
{
    QStringList fields;
    for (const QString &c : cells)
        fields << csvField(c);
    return fields.join(u',') + kLineEnd;
}

QString chartFile(size_t index)
{
    return QStringLiteral("tally-%1.svg").arg(index + 1);
}

// A rate with its 95 % interval below it.
QString rateHtml(int successes, int n)
{
    const double rate = n ? double(successes) / n : 0;
    const auto [low, high] = wilsonInterval(successes, n);
    return QStringLiteral("%1%<br><span class=\"ci\">%2〜%3</span>")
        .arg(rate * 100, 0, 'f', 1)
        .arg(low * 100, 0, 'f', 1)
        .arg(high * 100, 0, 'f', 1);
}

QString tableHtml(const TallyTable &table)
{
    QString html = QStringLiteral("<table class=\"grid\"><tr>");
    for (const QString &head : tallyColumns(table.key))
        html += QStringLiteral("<th>%1</th>").arg(esc(head));
    html += QStringLiteral("</tr>\n");
    for (const TallyRow &row : table.rows) {
        html += row.tentative() ? QStringLiteral("<tr class=\"tentative\">") : QStringLiteral("<tr>");
        const std::vector<QString> cells = tallyCells(row);
        for (size_t c = 0; c < cells.size(); ++c) {
            // 勝率, 連対率 and 複勝率 with their intervals.
            const int successes = c == 6 ? row.first
                : c == 7                 ? row.first + row.second
                                         : row.first + row.second + row.third;
            const QString cell = c >= 6 && c <= 8 ? rateHtml(successes, row.runners) : esc(cells[c]);
            html += (c ? QStringLiteral("<td class=\"r\">") : QStringLiteral("<td>")) + cell
                + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table>");
}

QString number(double value, int decimals = 1)
{
    return QString::number(value, 'f', decimals);
}

QString optionalDate(const std::optional<QDate> &date)
{
    return date ? date->toString(Qt::ISODate) : QString();
}

QString surfaceWord(const std::optional<int> &surface)
{
    return !surface ? QString() : *surface == 1 ? QStringLiteral("芝") : QStringLiteral("ダ");
}

QString tableWord(TallyTableKind kind)
{
    return kind == TallyTableKind::Ranks ? QStringLiteral("順位")
        : kind == TallyTableKind::Lead   ? QStringLiteral("2位との差")
                                         : QStringLiteral("グループ");
}

}  // namespace

QString tallyCsvText(const Tally &tally)
{
    QString text = csvLine({QStringLiteral("表"), QStringLiteral("種類"), QStringLiteral("グループ"),
        QStringLiteral("行"), QStringLiteral("頭数"), QStringLiteral("1着"), QStringLiteral("2着"),
        QStringLiteral("3着"), QStringLiteral("着外"), QStringLiteral("勝率"), QStringLiteral("勝率下限"),
        QStringLiteral("勝率上限"), QStringLiteral("連対率"), QStringLiteral("連対率下限"),
        QStringLiteral("連対率上限"), QStringLiteral("複勝率"), QStringLiteral("複勝率下限"),
        QStringLiteral("複勝率上限"), QStringLiteral("単勝回収率"), QStringLiteral("回収率の頭数"),
        QStringLiteral("参考"), QStringLiteral("最初のレース"), QStringLiteral("最後のレース"),
        QStringLiteral("条件開始日"), QStringLiteral("条件終了日"), QStringLiteral("サイト"),
        QStringLiteral("競馬場"), QStringLiteral("芝ダ"), QStringLiteral("距離下限"),
        QStringLiteral("距離上限"), QStringLiteral("頭数下限"), QStringLiteral("頭数上限"),
        QStringLiteral("グループ分け")});
    const TallyFilter &f = tally.filter;
    const auto bound = [](const std::optional<std::pair<int, int>> &range, bool high) {
        return range ? QString::number(high ? range->second : range->first) : QString();
    };
    const std::vector<QString> conditions = {optionalDate(tally.first), optionalDate(tally.last),
        optionalDate(f.from), optionalDate(f.to), f.site ? QString::number(*f.site) : QString(),
        f.course.isEmpty() ? QString() : courseNameOfCode(f.course), surfaceWord(f.surface),
        bound(f.distance, false), bound(f.distance, true), bound(f.runners, false), bound(f.runners, true),
        tallyGroupCaption(tally.group)};
    for (const TallyTable &table : tally.tables) {
        for (const TallyRow &row : table.rows) {
            std::vector<QString> cells = {table.caption, tableWord(table.kind), row.group, row.label,
                QString::number(row.runners), QString::number(row.first), QString::number(row.second),
                QString::number(row.third), QString::number(row.out)};
            for (const int successes :
                {row.first, row.first + row.second, row.first + row.second + row.third}) {
                const auto [low, high] = wilsonInterval(successes, row.runners);
                cells.push_back(number(row.runners ? 100.0 * successes / row.runners : 0));
                cells.push_back(number(low * 100));
                cells.push_back(number(high * 100));
            }
            const auto returned = row.returnRate();
            cells.push_back(returned ? number(*returned * 100) : QString());
            cells.push_back(QString::number(row.staked));
            cells.push_back(row.tentative() ? QStringLiteral("1") : QStringLiteral("0"));
            cells.insert(cells.end(), conditions.begin(), conditions.end());
            text += csvLine(cells);
        }
    }
    return text;
}

Status writeTallyCsv(const QString &path, const Tally &tally, const FileSystem &files)
{
    return writeFileAtomically(path, toCodePage(tallyCsvText(tally)), files);
}

QByteArray tallyChartSvg(const TallyTable &table)
{
    // Plot area and one group of three bars per row.
    constexpr int kWidth = 560, kHeight = 280, kLeft = 48, kRight = 16, kTop = 36, kBottom = 40;
    constexpr int kPlotHeight = kHeight - kTop - kBottom;
    const int groups = std::max(1, int(table.rows.size()));
    const double groupWidth = double(kWidth - kLeft - kRight) / groups;
    const double barWidth = groupWidth / 4.5;
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\" "
        "font-family=\"IPAPGothic, 'Noto Sans CJK JP', sans-serif\" font-size=\"12\">\n"
        "<title>%3</title>\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n")
                      .arg(kWidth)
                      .arg(kHeight)
                      .arg(esc(table.caption));
    for (int pct = 0; pct <= 100; pct += 25) {
        const double y = kTop + kPlotHeight * (1 - pct / 100.0);
        svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"%4\"/>"
                              "<text x=\"%5\" y=\"%6\" text-anchor=\"end\">%7%</text>\n")
                   .arg(kLeft)
                   .arg(y, 0, 'f', 1)
                   .arg(kWidth - kRight)
                   .arg(pct == 0 ? QStringLiteral("#000") : QStringLiteral("#ddd"))
                   .arg(kLeft - 6)
                   .arg(y + 4, 0, 'f', 1)
                   .arg(pct);
    }
    for (size_t r = 0; r < kRates.size(); ++r) {
        const double x = kLeft + 8 + double(r) * 90;
        svg += QStringLiteral("<rect x=\"%1\" y=\"10\" width=\"12\" height=\"12\" fill=\"%2\"/>"
                              "<text x=\"%3\" y=\"21\">%4</text>\n")
                   .arg(x, 0, 'f', 1)
                   .arg(QString::fromLatin1(kRates[r].colour))
                   .arg(x + 16, 0, 'f', 1)
                   .arg(QString::fromUtf8(kRates[r].name));
    }
    for (size_t g = 0; g < table.rows.size(); ++g) {
        const TallyRow &row = table.rows[g];
        const double x0 = kLeft + groupWidth * double(g) + (groupWidth - 3 * barWidth) / 2;
        for (size_t r = 0; r < kRates.size(); ++r) {
            const double rate = (row.*kRates[r].value)();
            const double h = kPlotHeight * rate;
            svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\">"
                                  "<title>%6 %7 %8</title></rect>\n")
                       .arg(x0 + barWidth * double(r), 0, 'f', 1)
                       .arg(kTop + kPlotHeight - h, 0, 'f', 1)
                       .arg(barWidth - 1, 0, 'f', 1)
                       .arg(h, 0, 'f', 1)
                       .arg(QString::fromLatin1(kRates[r].colour))
                       .arg(esc(row.shownLabel()), QString::fromUtf8(kRates[r].name))
                       .arg(rate * 100, 0, 'f', 1);
        }
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"middle\">%3</text>"
                              "<text x=\"%1\" y=\"%4\" text-anchor=\"middle\" fill=\"#555\" "
                              "font-size=\"10\">%5頭</text>\n")
                   .arg(x0 + 1.5 * barWidth, 0, 'f', 1)
                   .arg(kHeight - kBottom + 16)
                   .arg(esc(row.shownLabel()))
                   .arg(kHeight - kBottom + 30)
                   .arg(row.runners);
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

Status tallyFolderCheck(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists() && !info.isSymLink())
        return Status::success();
    const auto refused = [&folder](const QString &name) {
        return Status::failure(
            QStringLiteral("フォルダ %1 には成績集計のものではないファイル %2 があります。"
                           "空のフォルダか、前に集計を書き出したフォルダを指定してください")
                .arg(QDir::toNativeSeparators(folder), name));
    };
    if (!info.isDir() || info.isSymLink())
        return Status::failure(
            QStringLiteral("%1 はフォルダではありません").arg(QDir::toNativeSeparators(folder)));
    static const QRegularExpression chart(QStringLiteral("^tally-[0-9]+\\.svg$"));
    const QDir dir(folder);
    for (const QFileInfo &entry : dir.entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString name = entry.fileName();
        if (!entry.isFile() || entry.isSymLink())
            return refused(name);
        if (chart.match(name).hasMatch())
            continue;
        if (name != QLatin1String("index.html"))
            return refused(name);
        // Our page names itself in its first lines.
        const RegularFileRead head = readRegularFile(entry.filePath(), kTallyPageHead);
        if (!head.status.ok() || !head.bytes.contains(kTallyTitle))
            return refused(name);
    }
    return Status::success();
}

Status writeTallyHtml(const QString &folder, const Tally &tally, const FileSystem &files)
{
    if (Status allowed = tallyFolderCheck(folder); !allowed.ok())
        return allowed;
    if (!QDir().mkpath(folder))
        return Status::failure(QStringLiteral("フォルダ %1 を作れません").arg(folder));
    const QDir dir(folder);
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\">"
                                  "<title>成績集計</title>\n<style>\n")
        + kStyleSheet + QStringLiteral("</style></head><body>\n<h1>成績集計</h1>\n");
    if (const QString line = returnLine(tally); !line.isEmpty())
        html += QStringLiteral("<p class=\"return\">%1</p>\n").arg(esc(line));
    html += QStringLiteral("<p class=\"conditions\">%1<br>%2</p>\n")
                .arg(esc(conditionsLine(tally)), esc(rangeLine(tally)));
    for (size_t i = 0; i < tally.tables.size(); ++i) {
        const TallyTable &table = tally.tables[i];
        if (Status chart = writeFileAtomically(dir.filePath(chartFile(i)), tallyChartSvg(table), files);
            !chart.ok())
            return chart;
        html += QStringLiteral("<section>\n<h2>%1</h2>\n<div class=\"pair\">").arg(esc(table.caption));
        html += tableHtml(table);
        html += QStringLiteral("<img class=\"chart\" src=\"%1\" width=\"560\" height=\"280\" alt=\"%2\">")
                    .arg(chartFile(i), esc(table.caption));
        html += QStringLiteral("</div>\n");
        if (const QString favourite = favouriteLine(table); !favourite.isEmpty())
            html += QStringLiteral("<p class=\"favourite\">%1</p>\n").arg(esc(favourite));
        html += QStringLiteral("</section>\n");
    }
    html += QStringLiteral("<p class=\"footer\">%1<br>%2</p>\n</body></html>\n")
                .arg(esc(tallyFooter(tally)), esc(tallyNote()));
    return writeFileAtomically(dir.filePath(QStringLiteral("index.html")), html.toUtf8(), files);
}

Status writeJournalTally(const QString &journalPath, const QString &folder)
{
    const Result<Tally> read = tallyOfJournal(journalPath, TallyRequest());
    if (!read.status.ok())
        return read.status;
    return writeTallyHtml(folder, read.value);
}

}  // namespace marunoki
