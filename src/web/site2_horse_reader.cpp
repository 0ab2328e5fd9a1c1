#include "web/site2_horse_reader.h"

#include "app/common.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "web/cell_rules.h"
#include "web/page_loader.h"
#include "web/page_table.h"

namespace marunoki {

namespace {

const QString kLandmarkMissing = QStringLiteral("umaデータ読込みエラー");
const QString kHistoryFailed = QStringLiteral("WebData読込みエラー(err-AB22)");

// The finishing time cell: 2:01.3 (minutes:seconds.tenth) or 58.7. A cell with
// ":" but no "." after it, or with neither, has no time; a part that is not a
// number is a failure.
bool readTime(const QString &cell, float &field)
{
    std::optional<float> time;
    const qsizetype colon = cell.indexOf(u':');
    if (colon >= 0) {
        const qsizetype point = cell.indexOf(u'.', colon + 1);
        if (point < 0)
            return true;
        time = composeTime(cell.left(colon), cell.mid(colon + 1, point - colon - 1), cell.mid(point + 1, 1));
    } else {
        const qsizetype point = cell.indexOf(u'.');
        if (point < 0)
            return true;
        time = composeTime(cell.left(point), cell.mid(point + 1, 1));
    }
    if (!time)
        return false;
    field = *time;
    return true;
}

// Body weight: the number before a change in brackets, half- or full-width. Not
// a number: the weight stays 0 and the row goes on.
void readBodyWeight(const QString &cell, qint32 &field)
{
    qsizetype end = cell.size();
    for (const QChar open : {QChar(u'('), QChar(u'（')}) {
        const qsizetype at = cell.indexOf(open);
        if (at >= 0 && at < end)
            end = at;
    }
    if (const auto weight = toWholeNumber(cell.left(end)))
        field = *weight;
}

// One result row into run `run` of runner n, field by field in the page's
// order. False on a failure; the fields read before it stay.
bool readRun(const PageTable &table, int row, double date, int n, int run, RaceStore &store)
{
    const auto cell = [&table, row](int col) -> const QString & { return table.cell(row, col); };
    store.horses[n].runs[run].date = date;
    // 2回東京12日: the course name is characters 3..4.
    store.horses[n].runs[run].course = formatNumber(zyoIndex(cell(2).mid(2, 2)), QStringLiteral("00"));
    // 晴（稍）: the going follows the bracket.
    const qsizetype bracket = cell(3).indexOf(u'（');
    if (bracket >= 0)
        store.horses[n].runs[run].going = babaCode(cell(3).mid(bracket + 1, 1));
    const qsizetype r = cell(4).indexOf(u'R');
    if (r >= 0) {
        const auto raceNo = toWholeNumber(cell(4).left(r));
        if (!raceNo)
            return false;
        store.horses[n].runs[run].raceNumber = *raceNo;
    }
    store.horses[n].runs[run].raceName = cell(5);
    if (!readSharedCells(table, row, {6, 7, 8, 10, 9, 11, 12}, n, run, store))
        return false;
    store.horses[n].runs[run].surface = surfaceCode(cell(13));
    if (const auto distance = courseDistance(cell(13)))
        store.horses[n].runs[run].distance = *distance;
    if (!readTime(cell(14), store.horses[n].runs[run].time))
        return false;
    // Column 15 holds the margin, which the analysis does not use.
    if (readSingle(cell(16), store.horses[n].runs[run].last3f) == CellRead::Failed)
        return false;
    if (readCorners(cell(17), store.horses[n].runs[run].cornerPositions) == CellRead::Failed)
        return false;
    readBodyWeight(cell(18), store.horses[n].runs[run].bodyWeight);
    return true;
}

}  // namespace

bool checkUma02(const PageTable &table)
{
    return firstRow(table, 1, 5, 29, [](const QString &c) { return c == QStringLiteral("生年月日"); }) >= 0;
}

void parseUma02(const PageTable &table, RaceStore &store, qint32 n, MessageSink &messages)
{
    if (!isHorseNumber(n))
        return;

    const int p = profileRow(table);
    if (p < 0) {
        messages.message(kLandmarkMissing);
        return;
    }
    store.horses[n].sire = table.cell(p + 13, 1);
    store.horses[n].dam = table.cell(p + 21, 1);
    store.horses[n].damSire = table.cell(p + 21, 2);

    const int h = firstRow(table, 1, 20, 99, [](const QString &c) { return c == QStringLiteral("Date"); });
    if (h < 0) {
        messages.message(kLandmarkMissing);
        return;
    }

    readResultRows(table, h, store, n, messages, kHistoryFailed,
        [&](int row, double date, int run) { return readRun(table, row, date, n, run, store); });
}

PageStatus Site2HorseReader::readHistory(PageLoader &loader, const QString &url, const QString &siteBase,
    RaceStore &store, qint32 n, MessageSink &messages)
{
    (void)siteBase;
    return read(loader, url,
        request(runnerStatusLine(store, n), checkUma02, QStringLiteral("WebData読込みエラー(err-AB21)")),
        [&](const PageTable &page) { parseUma02(page, store, n, messages); });
}

}  // namespace marunoki
