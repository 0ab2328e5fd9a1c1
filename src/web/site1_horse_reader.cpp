#include "web/site1_horse_reader.h"

#include "app/common.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "web/cell_rules.h"
#include "web/page_loader.h"
#include "web/page_table.h"

namespace marunoki {

namespace {

const QString kProfileMissing = QStringLiteral("）umaデータ読込みエラー");
const QString kHistoryFailed = QStringLiteral("WebData読込みエラー(err-AB02)");
const QString kCoursesFailed = QStringLiteral("U_Url読込みエラー(err-AB03)");

// The finishing time cell: 1.34.5 (minutes.seconds.tenth) or 58.7. A cell
// without "." has no time; a part that is not a number is a failure.
bool readTime(const QString &cell, float &field)
{
    const qsizetype p1 = cell.indexOf(u'.');
    if (p1 < 0)
        return true;
    const qsizetype p2 = cell.indexOf(u'.', p1 + 1);
    const auto time = p2 >= 0 ? composeTime(cell.left(p1), cell.mid(p1 + 1, p2 - p1 - 1), cell.mid(p2 + 1, 1))
                              : composeTime(cell.left(p1), cell.mid(p1 + 1, 1));
    if (!time)
        return false;
    field = *time;
    return true;
}

// Body weight: 480（+2） is read as the number before the bracket.
CellRead readBodyWeight(const QString &cell, qint32 &field)
{
    const qsizetype bracket = cell.indexOf(u'（');
    return readWhole(bracket >= 0 ? cell.left(bracket) : cell, field);
}

// One result row into run `run` of runner n, field by field in the page's
// order. False on a failure; the fields read before it stay.
bool readRun(const PageTable &table, int row, double date, int n, int run, RaceStore &store)
{
    const auto cell = [&table, row](int col) -> const QString & { return table.cell(row, col); };
    store.horses[n].runs[run].date = date;
    store.horses[n].runs[run].raceName = cell(2);
    store.horses[n].runs[run].surface = surfaceCode(cell(3));
    if (const auto distance = courseDistance(cell(3)))
        store.horses[n].runs[run].distance = *distance;
    store.horses[n].runs[run].going = babaCode(cell(4).left(1));
    if (!readSharedCells(table, row, {5, 6, 7, 8, 10, 11, 12}, n, run, store))
        return false;
    // The win odds (単勝, between 人気 and 着順) only go to the journal's
    // results; a scratched runner's cell holds none.
    if (readSingle(cell(9), store.horses[n].runs[run].winOdds) == CellRead::Failed)
        return false;
    if (readBodyWeight(cell(13), store.horses[n].runs[run].bodyWeight) == CellRead::Failed)
        return false;
    if (!readTime(cell(14), store.horses[n].runs[run].time))
        return false;
    if (readSingle(cell(15), store.horses[n].runs[run].last3f) == CellRead::Failed)
        return false;
    return readCorners(cell(16), store.horses[n].runs[run].cornerPositions) != CellRead::Failed;
}

}  // namespace

bool checkUma(const PageTable &table)
{
    return firstRow(table, 1, 10, 89, [](const QString &c) { return c == QStringLiteral("平地競走成績"); })
        >= 0;
}

void parseUma(const PageTable &table, RaceStore &store, qint32 n, MessageSink &messages)
{
    if (!isHorseNumber(n))
        return;

    const int p = profileRow(table);
    if (p < 0) {
        messages.message(kProfileMissing);
        return;
    }
    store.horses[n].sire = table.cell(p, 6);
    store.horses[n].dam = table.cell(p + 1, 6);
    store.horses[n].damSire = table.cell(p + 2, 6);

    const int h = firstRow(table, 1, 20, 99, [](const QString &c) { return c == QStringLiteral("年月日"); });
    if (h < 0)
        return;

    readResultRows(table, h, store, n, messages, kHistoryFailed,
        [&](int row, double date, int run) { return readRun(table, row, date, n, run, store); });
}

void scanUmaCourses(const QString &pageHtml, RaceStore &store, qint32 n, MessageSink &messages)
{
    if (!isHorseNumber(n))
        return;
    const QStringView html(pageHtml);
    // The page writes run dates as yy/m/d (07/5/27) and the run's race link
    // /scores/yyyy/cc/mm/dd/rr/ right after it; each search starts one past the
    // previous find, or from the top again after a date that was not found.
    qsizetype from = 0;
    for (int r = 1; r <= kMaxRuns; ++r) {
        if (store.horses[n].runs[r].date <= 0)
            continue;
        const QString key = formatDate(store.horses[n].runs[r].date, QStringLiteral("yy/m/d"));
        const qsizetype q = html.indexOf(key, from);
        if (q < 0) {
            from = 0;
            continue;
        }
        from = q + 1;
        const QStringView s = html.mid(q + 1, 150);
        const qsizetype a = s.indexOf(u"/scores/");
        if (a < 0)
            continue;
        store.horses[n].runs[r].course = s.mid(a + 13, 2).toString();
        const auto raceNo = toWholeNumber(s.mid(a + 22, 2).toString());
        if (!raceNo) {
            messages.message(kCoursesFailed);
            return;
        }
        store.horses[n].runs[r].raceNumber = *raceNo;
    }
}

void parseUmaPage(const PageTable &table, RaceStore &store, qint32 n, MessageSink &messages)
{
    parseUma(table, store, n, messages);
    scanUmaCourses(table.pageHtml, store, n, messages);
}

PageStatus Site1HorseReader::readHistory(PageLoader &loader, const QString &url, const QString &siteBase,
    RaceStore &store, qint32 n, MessageSink &messages)
{
    (void)siteBase;
    return read(loader, url,
        request(runnerStatusLine(store, n), checkUma, QStringLiteral("WebData読込みエラー(err-AB01)")),
        [&](const PageTable &page) { parseUmaPage(page, store, n, messages); });
}

}  // namespace marunoki
