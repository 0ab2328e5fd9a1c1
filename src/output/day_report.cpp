#include "output/day_report.h"

#include "app/atomic_file.h"
#include "app/format.h"
#include "app/race_store.h"
#include "app/regular_file.h"
#include "output/race_report.h"
#include "output/report_parts.h"
#include "output/report_summary.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace marunoki {

namespace {

constexpr int kBestShown = 3;
// An index of a day larger than this is no index this program wrote.
constexpr qint64 kMaxIndexBytes = 4 * 1024 * 1024;

QString esc(const QString &text)
{
    return xmlText(text);
}

const char *const kStyle = R"(
body { font-family: %1; margin: 24px; color: #1b1b1b; }
h1 { font-size: 20px; margin: 0 0 12px; }
table { border-collapse: collapse; width: 100%; font-size: 14px; }
th, td { border: 1px solid #c8ccd2; padding: 6px 8px; vertical-align: top; text-align: left; }
th { background: #eef1f5; font-weight: 600; }
td.no { text-align: right; width: 3em; white-space: nowrap; }
td.runners { text-align: right; width: 4em; }
td.honmei { white-space: nowrap; }
td.best span { display: inline-block; margin-right: 14px; white-space: nowrap; }
td.best b { font-variant-numeric: tabular-nums; }
tr.missing td { color: #8a8f98; background: #fafafa; }
p.note { color: #5a5f66; font-size: 12px; }
p.day { margin: -6px 0 12px; color: #3a3f46; }
p.day a { margin-left: 12px; }
td.winner { white-space: nowrap; }
)";

// The day's calendar date, from the first race that has one.
QString calendarDate(const std::vector<RaceSummary> &races)
{
    static const char16_t *const weekdays[] = {u"月", u"火", u"水", u"木", u"金", u"土", u"日"};
    for (const RaceSummary &r : races) {
        if (!(r.date > 0))
            continue;
        const Ymd ymd = ymdFromSerial(r.date);
        const QDate date(ymd.year, ymd.month, ymd.day);
        if (!date.isValid())
            continue;
        return QStringLiteral("%1年%2月%3日（%4）")
            .arg(ymd.year)
            .arg(ymd.month)
            .arg(ymd.day)
            .arg(QString::fromUtf16(weekdays[date.dayOfWeek() - 1]));
    }
    return {};
}

}  // namespace

RaceSummary summarizeRace(
    const RaceStore &store, int race, const MarksByNumber &marks, const ResultsByNumber &results)
{
    RaceSummary s;
    s.race = race;
    s.date = store.raceDate;
    s.analysed = true;
    s.title = titleWithoutRaceNumber(store.raceTitle, race);
    s.conditions = store.raceConditions;
    s.runners = store.runnerCount();
    for (const qint32 n : store.runners()) {
        const float mean = store.horses[n].meanFigure.value;
        if (mean != 0)
            s.best.push_back({n, store.horses[n].name, mean});
    }
    std::stable_sort(
        s.best.begin(), s.best.end(), [](const RaceSummary::Runner &a, const RaceSummary::Runner &b) {
            return a.meanFigure > b.meanFigure;
        });
    if (s.best.size() > size_t(kBestShown))
        s.best.resize(kBestShown);
    for (const auto &[n, mark] : marks) {
        if (mark == Mark::Honmei && store.isRunner(n)) {
            s.honmei = RaceSummary::Runner {n, store.horses[n].name, 0};
            s.honmeiRan = resultText(results, n);
            break;
        }
    }
    for (const auto &[n, result] : results) {
        if (result.finish == 1 && store.isRunner(n))
            s.winners.push_back({n, store.horses[n].name, store.horses[n].meanFigure.value});
    }
    return s;
}

QString raceReportFolder(int race)
{
    return QStringLiteral("%1R").arg(race, 2, 10, QLatin1Char('0'));
}

QByteArray dayIndexHtml(const QString &heading, const std::vector<RaceSummary> &races, const DayPage &page)
{
    QStringList about;
    if (const QString date = calendarDate(races); !date.isEmpty())
        about << esc(date);
    if (!page.site.isEmpty())
        about << esc(page.site);
    if (!page.tallyLink.isEmpty())
        about << QStringLiteral("<a href=\"%1\">成績集計</a>").arg(esc(page.tallyLink));
    QString html
        = QStringLiteral("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>")
        + esc(heading) + QStringLiteral("</title>\n<style>") + QString::fromUtf8(kStyle).arg(kReportFonts)
        + QStringLiteral("</style>\n</head>\n<body>\n<h1>") + esc(heading) + QStringLiteral("</h1>\n")
        + (about.isEmpty() ? QString()
                           : QStringLiteral("<p class=\"day\">%1</p>\n").arg(about.join(u'\u3000')))
        + QStringLiteral("<table>\n<thead><tr><th>R</th><th>レース名</th><th>条件</th><th>頭数</th>"
                         "<th>◎</th><th>平均指数上位3頭</th><th>1着</th></tr></thead>\n<tbody>\n");
    for (const RaceSummary &r : races) {
        if (!r.keptRow.isEmpty()) {
            html += r.keptRow + u'\n';
            continue;
        }
        const QString number = QString::number(r.race) + u'R';
        const QString numberCell = r.link.isEmpty()
            ? esc(number)
            : QStringLiteral("<a href=\"%1\">%2</a>").arg(esc(r.link), esc(number));
        if (!r.analysed) {
            html += QStringLiteral(
                "<tr class=\"missing\"><td class=\"no\">%1</td><td colspan=\"6\">%2</td></tr>\n")
                        .arg(numberCell, esc(r.reason));
            continue;
        }
        QString best;
        for (const RaceSummary::Runner &runner : r.best)
            best += QStringLiteral("<span>%1 %2 <b>%3</b></span>")
                        .arg(QString::number(runner.number), esc(runner.name),
                            formatNumber(runner.meanFigure, QStringLiteral("0.0")));
        QStringList winners;
        for (const RaceSummary::Runner &runner : r.winners)
            winners << esc(QStringLiteral("%1 %2").arg(runner.number).arg(runner.name));
        QString honmei;
        if (r.honmei) {
            honmei = esc(QStringLiteral("%1 %2").arg(r.honmei->number).arg(r.honmei->name));
            if (!r.honmeiRan.isEmpty())
                honmei += QStringLiteral(" → ") + esc(r.honmeiRan);
        }
        html += QStringLiteral(
            "<tr><td class=\"no\">%1</td><td>%2</td><td>%3</td><td class=\"runners\">%4</td>"
            "<td class=\"honmei\">%5</td><td class=\"best\">%6</td><td class=\"winner\">%7</td></tr>\n")
                    .arg(numberCell, esc(r.title), esc(r.conditions), QString::number(r.runners), honmei,
                        best, winners.join(QStringLiteral("<br/>")));
    }
    html += QStringLiteral("</tbody>\n</table>\n<p class=\"note\">平均指数: 過去走のSP指数の平均。</p>\n"
                           "</body>\n</html>\n");
    return html.toUtf8();
}

Status writeDayIndex(
    const QString &folder, const QString &heading, const std::vector<RaceSummary> &races, const DayPage &page)
{
    if (!QDir().mkpath(folder))
        return Status::failure(QStringLiteral("フォルダ %1 を作れません").arg(folder));
    return writeFileAtomically(
        QDir(folder).filePath(QStringLiteral("index.html")), dayIndexHtml(heading, races, page));
}

Status linkTallyPage(const QString &path, const QString &href)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("%1 を読めません（%2）").arg(path, file.errorString()));
    QString page = QString::fromUtf8(file.readAll());
    file.close();
    page.replace(kDayNavigation,
        QStringLiteral("<nav class=\"day\"><a href=\"%1\">成績集計</a></nav>").arg(esc(href)));
    return writeFileAtomically(path, page.toUtf8());
}

namespace {

// The rows of the index in the folder by the race they link to: a line of
// the page that is one whole table row linking to a race's page.
std::map<int, QString> indexRows(const QString &folder)
{
    static const QRegularExpression firstLink(
        QStringLiteral("^<tr[ >].*?href=\"(\\d\\d)R/index\\.html\".*</tr>$"));
    std::map<int, QString> rows;
    const RegularFileRead index
        = readRegularFile(QDir(folder).filePath(QStringLiteral("index.html")), kMaxIndexBytes);
    if (!index.status.ok())
        return rows;
    for (const QString &line : QString::fromUtf8(index.bytes).split(u'\n')) {
        if (const QRegularExpressionMatch m = firstLink.match(line); m.hasMatch())
            rows.emplace(m.captured(1).toInt(), line);
    }
    return rows;
}

}  // namespace

std::vector<RaceSummary> dayIndexRaces(const QString &folder, const std::vector<RaceSummary> &run)
{
    static const QRegularExpression raceFolder(QStringLiteral("^(\\d\\d)R$"));
    std::map<int, RaceSummary> races;
    for (const RaceSummary &r : run)
        races[r.race] = r;
    const std::map<int, QString> rows = indexRows(folder);
    const QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QRegularExpressionMatch m = raceFolder.match(name);
        const QString page = name + QStringLiteral("/index.html");
        if (!m.hasMatch() || !QFileInfo(QDir(folder).filePath(page)).isFile())
            continue;
        const int race = m.captured(1).toInt();
        if (const auto it = races.find(race); it != races.end() && it->second.analysed)
            continue;
        RaceSummary kept;
        kept.race = race;
        kept.link = page;
        kept.reason = QStringLiteral("以前に解析したページ");
        if (const auto row = rows.find(race); row != rows.end())
            kept.keptRow = row->second;
        races[race] = kept;
    }
    std::vector<RaceSummary> listed;
    listed.reserve(races.size());
    for (auto &[race, summary] : races)
        listed.push_back(std::move(summary));
    return listed;
}

Status writeDayReport(
    const QString &folder, const QString &heading, const std::vector<RaceSummary> &run, const DayPage &page)
{
    if (std::none_of(run.begin(), run.end(), [](const RaceSummary &r) { return r.analysed; }))
        return Status::success();
    const std::vector<RaceSummary> races = dayIndexRaces(folder, run);
    Status result = writeDayIndex(folder, heading, races, page);
    if (Status linked = linkRacePages(folder, heading, races); !linked.ok() && result.ok())
        result = linked;
    return result;
}

namespace {

// The navigation of race `i`'s page: up to the index, to the races before and after with a page.
QString dayNavigation(const QString &heading, const std::vector<RaceSummary> &races, size_t i)
{
    const auto link = [](const RaceSummary &r, const QString &text) {
        return QStringLiteral("<a href=\"../%1\">%2</a>").arg(esc(r.link), esc(text));
    };
    QString nav = QStringLiteral("<nav class=\"day\">");
    for (size_t k = i; k-- > 0;) {
        if (!races[k].link.isEmpty()) {
            nav += link(races[k], QStringLiteral("← %1R").arg(races[k].race));
            break;
        }
    }
    nav += QStringLiteral("<a href=\"../index.html\">↑ %1</a>").arg(esc(heading));
    for (size_t k = i + 1; k < races.size(); ++k) {
        if (!races[k].link.isEmpty()) {
            nav += link(races[k], QStringLiteral("%1R →").arg(races[k].race));
            break;
        }
    }
    return nav + QStringLiteral("</nav>");
}

}  // namespace

Status linkRacePages(const QString &folder, const QString &heading, const std::vector<RaceSummary> &races)
{
    static const QRegularExpression navigation(QStringLiteral("<nav class=\"day\">.*?</nav>"));
    Status result = Status::success();
    for (size_t i = 0; i < races.size(); ++i) {
        if (races[i].link.isEmpty())
            continue;
        const QString path = QDir(folder).filePath(races[i].link);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            result = Status::failure(QStringLiteral("%1 を読めません（%2）").arg(path, file.errorString()));
            continue;
        }
        QString page = QString::fromUtf8(file.readAll());
        file.close();
        page.replace(navigation, dayNavigation(heading, races, i));
        if (Status written = writeFileAtomically(path, page.toUtf8()); !written.ok())
            result = written;
    }
    return result;
}

}  // namespace marunoki
