#pragma once
// Builders of the two racing sites' pages, for tests and the bundled sample race.
//
// Each builder takes a small description of a race or a horse and returns the
// body HTML of the page as a browser would hand it over: lowercase tags, nested
// layout tables, links with attributes, cells with classes, CR LF line ends.
// The layouts are made so that splitPage puts every landmark where the readers
// look for it, with navigation rows above them the way the real pages have:
//
//   Site 1 card    date row = navRows + 3 (its text in column 2), title and
//                  conditions below it, "出馬表" tab = date row + 4, "枠番" header
//                  = date row + 5, then two rows per runner. Default navRows 20
//                  puts the date row at 23, the tab at 27 and the header at 28.
//   Site 1 horse   profile row ("生年月日") = navRows + 3, "平地競走成績" = profile
//                  + 4, results header ("年月日") = profile + 5. Default navRows 16:
//                  profile 19, heading 23, header 24.
//   Site 2 card    date row = navRows + 2, race row ("11R ...") = navRows + 3,
//                  conditions below it, header ("枠", "馬") = race row + 2, second
//                  header line, then one row per runner. Default navRows 3: date
//                  5, race 6, header 8.
//   Site 2 horse   profile row = navRows + 2, pedigree from profile + 13 (dam at
//                  profile + 21), results header ("Date") = profile + 30. Default
//                  navRows 4: profile 6, header 36.
//   Site 1 top     the calendar tables ("月日" headers) after navRows navigation
//                  rows; each day is three rows, optionally after blank rows.
//
// A description's optional texts replace what the builder would print, so a test
// can put any text into any cell the readers look at.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace marunoki::test {

// One runner of a race card, in horse-number order.
struct CardRunner {
    QString name;  // as printed; spaces in it stay on the page
    QString horseId;  // link id: Site 1 "2004104205/" (its slash is part of it), Site 2 "2004104205"
    QString sexAge = QStringLiteral("牡3");
    QString coat = QStringLiteral("鹿毛");  // Site 1 only
    QString trainer = QStringLiteral("見本調教師");
    QString weight = QStringLiteral("57.0");  // weight carried; Site 1 prints it with "kg"
    QString jockey = QStringLiteral("見本一騎");
    std::optional<QString> numberCell;  // horse-number cell; default the runner's position 1, 2, ...
    std::optional<QString> bracketCell;  // bracket cell; default (n + 1) / 2, at most 8
    std::optional<QString> profileCell;  // Site 1 second-row first cell; default "牡3/鹿毛　見本調教師"
    std::optional<QString> weightCell;  // Site 1 second-row second cell; default "57.0kg　見本一騎"
    std::optional<QString> linkText;  // the horse link's text; default the name
    bool linked = true;  // false: the name is printed without a link
};

// A race card: the race and its runners.
struct RaceCard {
    int year = 2007;
    int month = 5;
    int day = 27;
    QString weekday = QStringLiteral("日");
    int course = 5;  // course code 1..10 (5 = 東京)
    int meeting = 2;
    int meetingDay = 12;
    int race = 11;
    QString name = QStringLiteral("東京優駿(GI)");
    QString surface = QStringLiteral("芝");
    int distance = 2400;
    std::optional<QString>
        dateCell;  // Site 1 "2007年5月27日(日)　2回東京12日", Site 2 "2007/05/27(日) 2回東京12日"
    std::optional<QString> titleCell;  // Site 1 the name; Site 2 "11R 東京優駿(GI)"
    std::optional<QString> conditions;  // Site 1 "3歳オープン 定量 芝2400m", Site 2 "芝2400m 天候:晴 馬場:良"
    std::vector<CardRunner> runners;
    int navRows = -1;  // navigation rows before the race; -1 = the default above
    // Links to other horses printed in the side menu before the card (Site 1) or
    // in the footer after it (Site 2): (id, text) pairs.
    std::vector<std::pair<QString, QString>> extraLinks;
};

// One past run on a horse page, newest first.
struct PastRun {
    int year = 2007;
    int month = 5;
    int day = 27;
    int course = 5;  // central course code 1..10
    QString localCourse;  // Site 2: a course name outside the table ("大井") instead
    int meeting = 2;
    int meetingDay = 12;
    int race = 11;
    QString name = QStringLiteral("東京優駿(GI)");
    QString surface = QStringLiteral("芝");
    int distance = 2400;
    QString weather = QStringLiteral("晴");
    QString going = QStringLiteral("良");
    int runners = 18;
    int bracket = 3;
    int number = 5;
    int popularity = 1;
    int finish = 1;
    std::optional<QString> finishCell;  // the 着順 cell in place of finish ("中", "2(降)")
    QString odds = QStringLiteral("3.4");  // Site 1's 単勝 cell
    QString jockey = QStringLiteral("見本一騎");
    QString carried = QStringLiteral("57");  // weight carried as printed ("57☆" for a weight with a mark)
    int bodyWeight = 452;
    int weightChange = 2;
    double time = 143.3;  // seconds; printed 2.23.3 (Site 1) or 2:23.3 (Site 2)
    QString last3f = QStringLiteral("33.4");
    QString corners = QStringLiteral("10-10-8-1");
    std::optional<QString> dateCell;  // Site 1 "07/5/27", Site 2 "2007/05/27"
    std::optional<QString> courseCell;  // Site 1 "芝2400", Site 2 distance cell likewise
    std::optional<QString> meetingCell;  // Site 2 "2回東京12日"
    std::optional<QString> weatherCell;  // Site 2 "晴（良）"
    std::optional<QString> raceCell;  // Site 2 "11R"
    std::optional<QString> bodyWeightCell;  // Site 1 "452（+2）", Site 2 "452(+2)"
    std::optional<QString> timeCell;
    // Site 1: the race link after the date ("/scores/2007/05/02/12/11/"); replace
    // it to test the course scan. Empty: the race name is printed without a link.
    std::optional<QString> raceLink;
};

// A horse's past-performance page.
struct HorsePage {
    QString name = QStringLiteral("ディープインパクト");
    QString sire = QStringLiteral("サンデーサイレンス");
    QString dam = QStringLiteral("ウインドインハーヘア");
    QString damSire = QStringLiteral("Alzao");
    QString birth = QStringLiteral("2002年3月25日");
    std::vector<PastRun> runs;
    int navRows = -1;  // -1 = the default above
    bool flatHeading = true;  // Site 1: print the "平地競走成績" heading (the page check)
    bool profile = true;  // print the profile rows ("生年月日" ...)
    bool resultsHeader = true;  // print the results header row
};

// One race day of the meeting calendar and its meetings (up to three).
struct CalendarDay {
    QString date;  // "5月26日(土)"
    QStringList meetings;  // "2回東京11日", ...
    int blankRowsBefore = 0;
};

// One calendar table with its caption (printed in a heading row above it).
struct CalendarTable {
    QString caption = QStringLiteral("今週の開催");
    std::vector<CalendarDay> days;
};

// Site 1's top page.
struct TopPage {
    std::vector<CalendarTable> tables;
    int navRows = 6;
};

QString site1CardPage(const RaceCard &card);
QString site1HorsePage(const HorsePage &horse);
QString site2CardPage(const RaceCard &card);
QString site2HorsePage(const HorsePage &horse);
QString site1TopPage(const TopPage &page);

// `count` runners with distinct names and ids ("テストホース01" ..., ids
// "2004100001/" for Site 1 or "2004100001" for Site 2).
std::vector<CardRunner> sampleRunners(int count, bool site1);

// A card of `count` runners of sampleRunners.
RaceCard sampleCard(int count, bool site1);

// The top page of a usual week: two tables of two days with three meetings each.
TopPage sampleTopPage();

// Site 1's horse-link id written into its address (".../<id>index.html").
QString site1HorseAddress(const QString &base, const QString &id);
// Site 2's horse address (".../db/horse.php?hid=<id>").
QString site2HorseAddress(const QString &base, const QString &id);

}  // namespace marunoki::test
