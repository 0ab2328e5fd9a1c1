#include "support/site_pages.h"

#include <algorithm>
#include <cmath>

// Every "</tr>" written below is one row of the page table, so the row numbers in
// the header follow from what is written before each landmark. A row end must
// never follow the previous one directly (the splitter would treat the empty row
// as the end of the page), so every row holds at least one cell.

namespace marunoki::test {

namespace {

const QString kEol = QStringLiteral("\r\n");

const QStringList kCourses = {QString(), QStringLiteral("札幌"), QStringLiteral("函館"),
    QStringLiteral("福島"), QStringLiteral("新潟"), QStringLiteral("東京"), QStringLiteral("中山"),
    QStringLiteral("中京"), QStringLiteral("京都"), QStringLiteral("阪神"), QStringLiteral("小倉")};

QString courseName(int code)
{
    return code >= 1 && code < kCourses.size() ? kCourses.at(code) : QString();
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QChar(u'0'));
}

QString td(const QString &text, const QString &attributes = QString())
{
    return attributes.isEmpty() ? QStringLiteral("<td>") + text + QStringLiteral("</td>")
                                : QStringLiteral("<td ") + attributes + u'>' + text + QStringLiteral("</td>");
}

QString cellsOf(const QStringList &texts)
{
    QString cells;
    for (const QString &text : texts)
        cells += td(text);
    return cells;
}

QString tr(const QString &cells, const QString &attributes = QString())
{
    const QString open
        = attributes.isEmpty() ? QStringLiteral("<tr>") : QStringLiteral("<tr ") + attributes + u'>';
    return open + cells + QStringLiteral("</tr>") + kEol;
}

QString link(const QString &href, const QString &text, const QString &extra = QString())
{
    return QStringLiteral("<a href=\"") + href + u'"' + (extra.isEmpty() ? QString() : u' ' + extra) + u'>'
        + text + QStringLiteral("</a>");
}

// Minutes, seconds and tenths: 143.3 -> 2, "23", 3.
struct TimeParts {
    int minutes;
    QString seconds;
    int tenths;
};

TimeParts timeParts(double seconds)
{
    const int total = static_cast<int>(std::lround(seconds * 10));
    return {total / 600, twoDigits(total % 600 / 10), total % 10};
}

QString site1Time(double seconds)
{
    const TimeParts t = timeParts(seconds);
    if (t.minutes == 0)
        return QString::number(t.seconds.toInt()) + u'.' + QString::number(t.tenths);
    return QString::number(t.minutes) + u'.' + t.seconds + u'.' + QString::number(t.tenths);
}

QString site2Time(double seconds)
{
    const TimeParts t = timeParts(seconds);
    if (t.minutes == 0)
        return QString::number(t.seconds.toInt()) + u'.' + QString::number(t.tenths);
    return QString::number(t.minutes) + u':' + t.seconds + u'.' + QString::number(t.tenths);
}

QString signedChange(int change)
{
    return change > 0 ? u'+' + QString::number(change) : QString::number(change);
}

QString defaultBracket(int n)
{
    return QString::number(std::min(8, (n + 1) / 2));
}

const QStringList kSite1Menu = {
    QStringLiteral("トップ"),
    QStringLiteral("今週の重賞"),
    QStringLiteral("出馬表"),
    QStringLiteral("レース結果"),
    QStringLiteral("オッズ"),
    QStringLiteral("払戻金"),
    QStringLiteral("競馬場"),
    QStringLiteral("騎手名鑑"),
    QStringLiteral("調教師名鑑"),
    QStringLiteral("種牡馬"),
    QStringLiteral("データ分析"),
    QStringLiteral("コラム"),
};

// Side-menu rows of Site 1: plain links, none of them a landmark.
QString site1Menu(int rows)
{
    QString html;
    for (int i = 0; i < rows; ++i) {
        const QString &item = kSite1Menu.at(i % kSite1Menu.size());
        html += tr(td(link(QStringLiteral("/menu/%1/").arg(i),
                          item == QStringLiteral("出馬表") ? QStringLiteral("出馬表一覧") : item),
            QStringLiteral("class=\"menu\"")));
    }
    return html;
}

// Site 1's header row (row 1) and the opening of the two-column layout.
QString site1Head()
{
    return QStringLiteral("<div id=\"wrapper\">") + kEol
        + QStringLiteral("<table class=\"header\" width=\"100%\"><tbody>") + kEol
        + tr(td(link(QStringLiteral("/"), QStringLiteral("<img src=\"/img/logo.gif\" alt=\"競馬データ\">")),
                 QStringLiteral("class=\"logo\""))
            + td(QStringLiteral(
                     "<form action=\"/search/\" method=\"get\"><input type=\"text\" name=\"q\"></form>"),
                QStringLiteral("class=\"search\"")))
        + QStringLiteral("</tbody></table>") + kEol
        + QStringLiteral("<table class=\"layout\"><tbody><tr><td class=\"side\" valign=\"top\">") + kEol
        + QStringLiteral("<table class=\"menu\"><tbody>") + kEol;
}

// Closes the side menu and opens the main column. The first row of the main
// column therefore starts with an empty cell, and its own first cell is column 2.
QString site1MainColumn()
{
    return QStringLiteral("</tbody></table>") + kEol
        + QStringLiteral("</td><td class=\"main\" valign=\"top\">") + kEol;
}

QString site1Foot()
{
    return QStringLiteral("</td></tr></tbody></table>") + kEol
        + QStringLiteral("<table class=\"footer\"><tbody>")
        + tr(td(QStringLiteral("Copyright (C) 競馬データ"), QStringLiteral("class=\"copy\"")))
        + QStringLiteral("</tbody></table>") + kEol + QStringLiteral("</div>") + kEol;
}

// Site 2's global navigation (row 1) and its local navigation rows.
QString site2Head(int navRows)
{
    QString html = QStringLiteral("<table class=\"gnav\"><tbody>") + kEol
        + tr(td(link(QStringLiteral("/"), QStringLiteral("トップ")))
            + td(link(QStringLiteral("/race/"), QStringLiteral("レース")))
            + td(link(QStringLiteral("/db/"), QStringLiteral("データベース"))))
        + QStringLiteral("</tbody></table>") + kEol + QStringLiteral("<table class=\"lnav\"><tbody>") + kEol;
    const QStringList items
        = {QStringLiteral("開催一覧"), QStringLiteral("重賞日程"), QStringLiteral("馬名検索"),
            QStringLiteral("騎手検索"), QStringLiteral("種牡馬検索"), QStringLiteral("過去の結果")};
    for (int i = 0; i < navRows; ++i)
        html += tr(td(link(QStringLiteral("/db/list.php?p=%1").arg(i), items.at(i % items.size())),
            QStringLiteral("class=\"lnav\"")));
    return html + QStringLiteral("</tbody></table>") + kEol;
}

QString site2Foot(const std::vector<std::pair<QString, QString>> &links)
{
    QString cells;
    for (const auto &[id, text] : links)
        cells
            += td(link(QStringLiteral("/db/horse.php?hid=") + id, text, QStringLiteral("target=\"_blank\"")));
    cells += td(QStringLiteral("(C) 競馬DB"));
    return QStringLiteral("<table class=\"foot\"><tbody>") + tr(cells) + QStringLiteral("</tbody></table>")
        + kEol;
}

}  // namespace

std::vector<CardRunner> sampleRunners(int count, bool site1)
{
    const QStringList jockeys
        = {QStringLiteral("見本一騎"), QStringLiteral("見本次郎"), QStringLiteral("見本三太"),
            QStringLiteral("見本四郎"), QStringLiteral("見本五輔"), QStringLiteral("見本六平")};
    std::vector<CardRunner> runners;
    for (int n = 1; n <= count; ++n) {
        CardRunner r;
        r.name = QStringLiteral("テストホース") + twoDigits(n);
        r.horseId = QStringLiteral("20041%1").arg(n, 5, 10, QChar(u'0'))
            + (site1 ? QStringLiteral("/") : QString());
        r.sexAge = n % 3 == 0 ? QStringLiteral("牝3") : QStringLiteral("牡3");
        r.coat = n % 2 == 0 ? QStringLiteral("栗毛") : QStringLiteral("鹿毛");
        r.weight = n % 3 == 0 ? QStringLiteral("55.0") : QStringLiteral("57.0");
        r.jockey = jockeys.at(n % jockeys.size());
        runners.push_back(r);
    }
    return runners;
}

RaceCard sampleCard(int count, bool site1)
{
    RaceCard card;
    card.runners = sampleRunners(count, site1);
    return card;
}

TopPage sampleTopPage()
{
    TopPage page;
    CalendarTable thisWeek;
    thisWeek.days = {
        {QStringLiteral("5月26日(土)"),
            {QStringLiteral("2回東京11日"), QStringLiteral("3回京都11日"), QStringLiteral("1回新潟3日")}},
        {QStringLiteral("5月27日(日)"),
            {QStringLiteral("2回東京12日"), QStringLiteral("3回京都12日"), QStringLiteral("1回新潟4日")}, 1}};
    CalendarTable nextWeek;
    nextWeek.caption = QStringLiteral("来週の開催");
    nextWeek.days = {
        {QStringLiteral("6月2日(土)"),
            {QStringLiteral("3回東京1日"), QStringLiteral("3回中京1日"), QStringLiteral("1回札幌1日")}},
        {QStringLiteral("6月3日(日)"),
            {QStringLiteral("3回東京2日"), QStringLiteral("3回中京2日"), QStringLiteral("1回札幌2日")}, 1}};
    page.tables = {thisWeek, nextWeek};
    return page;
}

QString site1HorseAddress(const QString &base, const QString &id)
{
    return base + QStringLiteral("/directory/horse/") + id + QStringLiteral("index.html");
}

QString site2HorseAddress(const QString &base, const QString &id)
{
    return base + QStringLiteral("/db/horse.php?hid=") + id;
}

QString site1CardPage(const RaceCard &card)
{
    const int navRows = card.navRows >= 0 ? card.navRows : 20;
    QString html = site1Head() + site1Menu(navRows);
    // The menu's last row: a featured horse (this week's pick) — and any extra links.
    QString featured
        = link(QStringLiteral("/directory/horse/2001103460/index.html"), QStringLiteral("今週の注目馬"));
    for (const auto &[id, text] : card.extraLinks)
        featured += QStringLiteral("<br>")
            + link(QStringLiteral("/directory/horse/") + id + QStringLiteral("index.html"), text);
    html += tr(td(featured, QStringLiteral("class=\"menu pickup\"")));
    html += site1MainColumn();

    const QString date = card.dateCell.value_or(QStringLiteral("%1年%2月%3日(%4)　%5回%6%7日")
                                                    .arg(card.year)
                                                    .arg(card.month)
                                                    .arg(card.day)
                                                    .arg(card.weekday)
                                                    .arg(card.meeting)
                                                    .arg(courseName(card.course))
                                                    .arg(card.meetingDay));
    const QString conditions = card.conditions.value_or(
        QStringLiteral("サラ系3歳 オープン (国際)(指定) 定量 %1%2m").arg(card.surface).arg(card.distance));
    html += QStringLiteral("<table class=\"race\" cellspacing=\"0\"><tbody>") + kEol;
    html += tr(td(date, QStringLiteral("class=\"date\"")));
    html += tr(td(QStringLiteral("<h1>") + card.titleCell.value_or(card.name) + QStringLiteral("</h1>"),
        QStringLiteral("class=\"title\"")));
    html += tr(td(conditions, QStringLiteral("class=\"cond\"")));
    html += tr(td(QStringLiteral("発走 15:40"), QStringLiteral("class=\"start\"")));
    html += QStringLiteral("</tbody></table>") + kEol;
    html += QStringLiteral("<table class=\"tab\"><tbody>")
        + tr(td(QStringLiteral("出馬表"), QStringLiteral("class=\"on\""))
            + td(link(QStringLiteral("odds.html"), QStringLiteral("オッズ")))
            + td(link(QStringLiteral("result.html"), QStringLiteral("結果"))))
        + QStringLiteral("</tbody></table>") + kEol;

    html += QStringLiteral("<table class=\"denma\" border=\"1\"><tbody>") + kEol;
    html += tr(td(QStringLiteral("枠番")) + td(QStringLiteral("馬番")) + td(QStringLiteral("印"))
            + td(QStringLiteral("馬名")) + td(QStringLiteral("性齢/毛色　調教師"))
            + td(QStringLiteral("斤量　騎手")),
        QStringLiteral("class=\"head\""));
    for (std::size_t i = 0; i < card.runners.size(); ++i) {
        const CardRunner &r = card.runners[i];
        const int n = static_cast<int>(i) + 1;
        const QString bracket = r.bracketCell.value_or(defaultBracket(n));
        const QString nameHtml = r.linked
            ? link(QStringLiteral("/directory/horse/") + r.horseId + QStringLiteral("index.html"),
                r.linkText.value_or(r.name), QStringLiteral("class=\"horse\""))
            : r.name;
        html += tr(td(bracket, QStringLiteral("rowspan=\"2\" class=\"waku%1\"").arg(bracket))
            + td(r.numberCell.value_or(QString::number(n)), QStringLiteral("rowspan=\"2\" class=\"umaban\""))
            + td(QStringLiteral("&nbsp;"), QStringLiteral("rowspan=\"2\" class=\"mark\""))
            + td(nameHtml, QStringLiteral("class=\"name\"")));
        html += tr(td(r.profileCell.value_or(r.sexAge + u'/' + r.coat + QStringLiteral("　") + r.trainer),
                       QStringLiteral("class=\"prof\""))
            + td(r.weightCell.value_or(r.weight + QStringLiteral("kg　") + r.jockey),
                QStringLiteral("class=\"jockey\"")));
    }
    html += QStringLiteral("</tbody></table>") + kEol;
    return html + site1Foot();
}

QString site1HorsePage(const HorsePage &horse)
{
    const int navRows = horse.navRows >= 0 ? horse.navRows : 16;
    QString html = site1Head() + site1Menu(navRows) + site1MainColumn();
    html += QStringLiteral("<table class=\"horse\"><tbody>")
        + tr(td(
            QStringLiteral("<h1>") + horse.name + QStringLiteral("</h1>"), QStringLiteral("class=\"hname\"")))
        + QStringLiteral("</tbody></table>") + kEol;
    html += QStringLiteral("<table class=\"prof\" border=\"1\"><tbody>") + kEol;
    if (horse.profile) {
        html += tr(td(QStringLiteral("生年月日"), QStringLiteral("class=\"th\"")) + td(horse.birth)
            + td(QStringLiteral("性別")) + td(QStringLiteral("牡"))
            + td(QStringLiteral("父"), QStringLiteral("class=\"th\""))
            + td(link(QStringLiteral("/directory/sire/1/"), horse.sire)));
        html += tr(td(QStringLiteral("調教師"), QStringLiteral("class=\"th\""))
            + td(QStringLiteral("見本厩舎(栗東)")) + td(QStringLiteral("馬主"))
            + td(QStringLiteral("金子真人HD")) + td(QStringLiteral("母"), QStringLiteral("class=\"th\""))
            + td(horse.dam));
        html += tr(td(QStringLiteral("生産者"), QStringLiteral("class=\"th\""))
            + td(QStringLiteral("ノーザンファーム")) + td(QStringLiteral("産地"))
            + td(QStringLiteral("早来町")) + td(QStringLiteral("母父"), QStringLiteral("class=\"th\""))
            + td(horse.damSire));
    } else {
        for (int i = 0; i < 3; ++i)
            html += tr(td(QStringLiteral("所属")) + td(QStringLiteral("栗東")));
    }
    html += tr(td(QStringLiteral("通算成績"), QStringLiteral("class=\"th\""))
        + td(QStringLiteral("%1戦").arg(horse.runs.size())));
    html += QStringLiteral("</tbody></table>") + kEol;
    html += QStringLiteral("<table class=\"midashi\"><tbody>")
        + tr(td(horse.flatHeading ? QStringLiteral("平地競走成績") : QStringLiteral("障害競走成績")))
        + QStringLiteral("</tbody></table>") + kEol;

    html += QStringLiteral("<table class=\"seiseki\" border=\"1\"><tbody>") + kEol;
    const QStringList headers = {QStringLiteral("年月日"), QStringLiteral("レース名"), QStringLiteral("距離"),
        QStringLiteral("馬場"), QStringLiteral("頭数"), QStringLiteral("枠"), QStringLiteral("馬番"),
        QStringLiteral("人気"), QStringLiteral("単勝"), QStringLiteral("着順"), QStringLiteral("騎手"),
        QStringLiteral("斤量"), QStringLiteral("馬体重"), QStringLiteral("タイム"), QStringLiteral("上り"),
        QStringLiteral("通過順")};
    html += tr(horse.resultsHeader ? cellsOf(headers) : td(QStringLiteral("成績")),
        QStringLiteral("class=\"head\""));
    for (const PastRun &run : horse.runs) {
        const QString date = run.dateCell.value_or(
            QStringLiteral("%1/%2/%3").arg(twoDigits(run.year % 100)).arg(run.month).arg(run.day));
        const QString raceLink = run.raceLink.value_or(QStringLiteral("/scores/%1/%2/%3/%4/%5/")
                                                           .arg(run.year)
                                                           .arg(twoDigits(run.course))
                                                           .arg(twoDigits(run.meeting))
                                                           .arg(twoDigits(run.meetingDay))
                                                           .arg(twoDigits(run.race)));
        const QString raceName = raceLink.isEmpty() ? run.name : link(raceLink, run.name);
        html += tr(td(date, QStringLiteral("class=\"date\"")) + td(raceName, QStringLiteral("class=\"race\""))
            + td(run.courseCell.value_or(run.surface + QString::number(run.distance))) + td(run.going)
            + td(QString::number(run.runners)) + td(QString::number(run.bracket))
            + td(QString::number(run.number)) + td(QString::number(run.popularity)) + td(run.odds)
            + td(run.finishCell.value_or(QString::number(run.finish))) + td(run.jockey) + td(run.carried)
            + td(run.bodyWeightCell.value_or(QString::number(run.bodyWeight) + QStringLiteral("（")
                + signedChange(run.weightChange) + QStringLiteral("）")))
            + td(run.timeCell.value_or(site1Time(run.time))) + td(run.last3f) + td(run.corners));
    }
    html += QStringLiteral("</tbody></table>") + kEol;
    return html + site1Foot();
}

QString site2CardPage(const RaceCard &card)
{
    const int navRows = card.navRows >= 0 ? card.navRows : 3;
    QString html = site2Head(navRows);
    const QString date = card.dateCell.value_or(QStringLiteral("%1/%2/%3(%4) %5回%6%7日")
                                                    .arg(card.year)
                                                    .arg(twoDigits(card.month))
                                                    .arg(twoDigits(card.day))
                                                    .arg(card.weekday)
                                                    .arg(card.meeting)
                                                    .arg(courseName(card.course))
                                                    .arg(card.meetingDay));
    html += QStringLiteral("<table class=\"raceinfo\"><tbody>") + kEol;
    html += tr(td(date, QStringLiteral("class=\"date\"")));
    html += tr(td(card.titleCell.value_or(QString::number(card.race) + QStringLiteral("R ") + card.name),
        QStringLiteral("class=\"race\"")));
    html += tr(td(card.conditions.value_or(
                      QStringLiteral("%1%2m 天候:晴 馬場:良 15:40発走").arg(card.surface).arg(card.distance)),
        QStringLiteral("class=\"cond\"")));
    html += QStringLiteral("</tbody></table>") + kEol;

    html += QStringLiteral("<table class=\"shutuba\"><tbody>") + kEol;
    html += tr(td(QStringLiteral("枠　")) + td(QStringLiteral("馬")) + td(QStringLiteral("印"))
            + td(QStringLiteral("馬名")) + td(QStringLiteral("性齢")) + td(QStringLiteral("斤量"))
            + td(QStringLiteral("騎手")) + td(QStringLiteral("厩舎")),
        QStringLiteral("class=\"head\""));
    html += tr(td(QStringLiteral("番")) + td(QStringLiteral("番")) + td(QString()) + td(QString())
            + td(QString()) + td(QStringLiteral("kg")) + td(QString()) + td(QString()),
        QStringLiteral("class=\"head2\""));
    for (std::size_t i = 0; i < card.runners.size(); ++i) {
        const CardRunner &r = card.runners[i];
        const int n = static_cast<int>(i) + 1;
        const QString bracket = r.bracketCell.value_or(defaultBracket(n));
        const QString nameHtml = r.linked ? link(QStringLiteral("/db/horse.php?hid=") + r.horseId,
                                     r.linkText.value_or(r.name), QStringLiteral("target=\"_blank\""))
                                          : r.name;
        html += tr(td(bracket, QStringLiteral("class=\"waku%1\"").arg(bracket))
            + td(r.numberCell.value_or(QString::number(n))) + td(QString())
            + td(nameHtml, QStringLiteral("class=\"name\"")) + td(r.sexAge) + td(r.weight) + td(r.jockey)
            + td(r.trainer));
    }
    html += QStringLiteral("</tbody></table>") + kEol;
    return html + site2Foot(card.extraLinks);
}

QString site2HorsePage(const HorsePage &horse)
{
    const int navRows = horse.navRows >= 0 ? horse.navRows : 4;
    QString html = site2Head(navRows);
    html += QStringLiteral("<table class=\"prof\"><tbody>") + kEol;
    const QStringList profile = {QStringLiteral("調教師"), QStringLiteral("馬主"), QStringLiteral("生産者"),
        QStringLiteral("産地"), QStringLiteral("セリ取引価格"), QStringLiteral("獲得賞金"),
        QStringLiteral("通算成績"), QStringLiteral("主な勝鞍"), QStringLiteral("近親馬"),
        QStringLiteral("性別"), QStringLiteral("毛色")};
    html += tr(td(horse.profile ? QStringLiteral("生年月日") : QStringLiteral("馬名"),
                   QStringLiteral("class=\"th\""))
        + td(horse.profile ? horse.birth : horse.name));
    for (const QString &item : profile)
        html += tr(td(item, QStringLiteral("class=\"th\"")) + td(QStringLiteral("-")));
    html += QStringLiteral("</tbody></table>") + kEol;

    // A four-generation pedigree: 16 rows, the sire's side first. The sire and the
    // dam open their halves with a cell spanning eight rows, so the dam's row also
    // carries her sire in its second cell.
    html += QStringLiteral("<table class=\"blood\"><tbody>") + kEol
        + tr(td(QStringLiteral("血統"), QStringLiteral("colspan=\"4\"")));
    for (int i = 0; i < 16; ++i) {
        QString cells;
        if (i % 8 == 0)
            cells += td(i == 0 ? horse.sire : horse.dam, QStringLiteral("rowspan=\"8\""));
        if (i % 4 == 0)
            cells += td(
                i == 8 ? horse.damSire : QStringLiteral("祖先%1").arg(i), QStringLiteral("rowspan=\"4\""));
        if (i % 2 == 0)
            cells += td(QStringLiteral("曾祖%1").arg(i), QStringLiteral("rowspan=\"2\""));
        cells += td(QStringLiteral("高祖%1").arg(i));
        html += tr(cells);
    }
    html += QStringLiteral("</tbody></table>") + kEol;

    html += QStringLiteral("<table class=\"race_result\"><tbody>") + kEol
        + tr(td(QStringLiteral("競走成績"), QStringLiteral("colspan=\"18\"")));
    const QStringList headers = {QStringLiteral("Date"), QStringLiteral("開催"), QStringLiteral("天気"),
        QStringLiteral("R"), QStringLiteral("レース名"), QStringLiteral("頭数"), QStringLiteral("枠番"),
        QStringLiteral("馬番"), QStringLiteral("着順"), QStringLiteral("人気"), QStringLiteral("騎手"),
        QStringLiteral("斤量"), QStringLiteral("距離"), QStringLiteral("タイム"), QStringLiteral("着差"),
        QStringLiteral("上り"), QStringLiteral("通過"), QStringLiteral("馬体重")};
    html += tr(horse.resultsHeader ? cellsOf(headers) : td(QStringLiteral("成績")),
        QStringLiteral("class=\"head\""));
    for (const PastRun &run : horse.runs) {
        const QString date = run.dateCell.value_or(
            QStringLiteral("%1/%2/%3").arg(run.year).arg(twoDigits(run.month)).arg(twoDigits(run.day)));
        const QString course = run.localCourse.isEmpty() ? courseName(run.course) : run.localCourse;
        const QString raceId = QStringLiteral("%1%2%3%4%5")
                                   .arg(run.year)
                                   .arg(twoDigits(run.course))
                                   .arg(twoDigits(run.meeting))
                                   .arg(twoDigits(run.meetingDay))
                                   .arg(twoDigits(run.race));
        html += tr(td(link(QStringLiteral("/race/page.php?param[race]=") + raceId, date))
            + td(run.meetingCell.value_or(
                QStringLiteral("%1回%2%3日").arg(run.meeting).arg(course).arg(run.meetingDay)))
            + td(run.weatherCell.value_or(
                run.weather + QStringLiteral("（") + run.going + QStringLiteral("）")))
            + td(run.raceCell.value_or(QString::number(run.race) + u'R')) + td(run.name)
            + td(QString::number(run.runners)) + td(QString::number(run.bracket))
            + td(QString::number(run.number)) + td(run.finishCell.value_or(QString::number(run.finish)))
            + td(QString::number(run.popularity)) + td(run.jockey) + td(run.carried)
            + td(run.courseCell.value_or(run.surface + QString::number(run.distance)))
            + td(run.timeCell.value_or(site2Time(run.time))) + td(QStringLiteral("-0.2")) + td(run.last3f)
            + td(run.corners)
            + td(run.bodyWeightCell.value_or(
                QString::number(run.bodyWeight) + u'(' + signedChange(run.weightChange) + u')')));
    }
    html += QStringLiteral("</tbody></table>") + kEol;
    return html + site2Foot({});
}

QString site1TopPage(const TopPage &page)
{
    QString html = site1Head() + site1Menu(page.navRows) + site1MainColumn();
    html += QStringLiteral("<table class=\"topics\"><tbody>")
        + tr(td(QStringLiteral("<h2>今週の注目レース</h2>"))) + QStringLiteral("</tbody></table>") + kEol;
    for (const CalendarTable &table : page.tables) {
        html += QStringLiteral("<table class=\"midashi\"><tbody>") + tr(td(table.caption))
            + QStringLiteral("</tbody></table>") + kEol;
        html += QStringLiteral("<table class=\"kaisai\" border=\"1\"><tbody>") + kEol;
        html += tr(td(QStringLiteral("月日"), QStringLiteral("class=\"th\""))
            + td(QStringLiteral("開催"), QStringLiteral("class=\"th\"")));
        for (const CalendarDay &day : table.days) {
            for (int i = 0; i < day.blankRowsBefore; ++i)
                html += tr(td(QString(), QStringLiteral("colspan=\"2\" class=\"sep\"")));
            for (int i = 0; i < 3; ++i) {
                const QString meeting = i < day.meetings.size()
                    ? link(QStringLiteral("/scores/meeting/%1/").arg(i), day.meetings.at(i))
                    : QString();
                html += i == 0 ? tr(td(day.date, QStringLiteral("rowspan=\"3\" class=\"day\"")) + td(meeting))
                               : tr(td(meeting));
            }
        }
        html += QStringLiteral("</tbody></table>") + kEol;
    }
    return html + site1Foot();
}

}  // namespace marunoki::test
