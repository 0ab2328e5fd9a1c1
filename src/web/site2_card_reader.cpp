#include "web/site2_card_reader.h"

#include "app/common.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "web/cell_rules.h"
#include "web/horse_links.h"
#include "web/page_loader.h"
#include "web/page_table.h"

namespace marunoki {

namespace {

const QString kCardMissing = QStringLiteral("出走データ読込みエラー");
const QString kCardFailed = QStringLiteral("WebData読込みエラー(err-AA22)");
const QString kLinksFailed = QStringLiteral("U_Url読込みエラー(err-AA23)");

// The date line reads like 2007/05/27(日) 2回東京12日: year, month and the two
// characters of the day around the first two "/". False when it cannot be read.
bool readRaceDate(const QString &line, RaceStore &store)
{
    const qsizetype a = line.indexOf(u'/');
    if (a < 0)
        return true;
    const qsizetype b = line.indexOf(u'/', a + 1);
    if (a < 4 || b < 0)
        return false;
    const QString text = line.mid(a - 4, 4) + u'/' + line.mid(a + 1, b - a - 1) + u'/' + line.mid(b + 1, 2);
    const auto date = parseDate(text);
    if (!date)
        return false;
    store.raceDate = *date;
    return true;
}

// The distance follows the surface in the conditions line: 芝2400m, ダ1200m, 障3000m.
bool readDistance(const QString &conditions, qint32 &distance)
{
    distance = 0;
    qsizetype m = conditions.indexOf(u'芝');
    if (m < 0)
        m = conditions.indexOf(u'ダ');
    if (m < 0)
        m = conditions.indexOf(u'障');
    if (m < 0)
        return true;
    const auto value = toWholeNumber(conditions.mid(m + 1, 4));
    if (!value)
        return false;
    distance = *value;
    return true;
}

// Runner n from its row. False on a parse failure.
bool readRunner(const PageTable &table, int n, int row, qint32 distance, RaceStore &store)
{
    const auto bracket = toWholeNumber(table.cell(row, 1));
    if (!bracket)
        return false;
    store.horses[n].runs[0].bracket = *bracket;
    store.horses[n].name = stripSpaces(table.cell(row, 4));
    store.horses[n].sexAge = table.cell(row, 5);
    const auto weight = toSingle(table.cell(row, 6));
    if (!weight)
        return false;
    store.horses[n].runs[0].weightCarried = *weight;
    store.horses[n].runs[0].jockey = table.cell(row, 7);
    store.horses[n].runs[0].distance = distance;
    store.horses[n].runs[0].date = store.raceDate;
    return true;
}

}  // namespace

bool checkSyutuba02(const PageTable &table)
{
    return firstRow(table, 1, 5, 19, [](const QString &c) { return stripSpaces(c) == QStringLiteral("枠"); })
        >= 0;
}

void parseSyutuba02(const PageTable &table, RaceStore &store, MessageSink &messages)
{
    const int race = firstRow(table, 1, 0, 9, [](const QString &c) { return c.contains(u'R'); });
    if (race < 0) {
        messages.message(kCardMissing);
        return;
    }
    if (!readRaceDate(table.cell(race - 1, 1), store)) {
        messages.message(kCardFailed);
        return;
    }
    store.raceTitle = table.cell(race, 1);
    store.raceConditions = table.cell(race + 1, 1);
    qint32 distance = 0;
    if (!readDistance(store.raceConditions, distance)) {
        messages.message(kCardFailed);
        return;
    }

    const int e = firstRow(table, 2, 5, 19, [](const QString &c) { return c == QStringLiteral("馬"); });
    if (e < 0) {
        messages.message(kCardMissing);
        return;
    }

    int runners = kMaxRunners;
    for (int n = 1; n <= kMaxRunners; ++n) {
        const int row = e + 1 + n;
        const auto number = toNumber(table.cell(row, 2));
        if (!number || *number != n) {
            runners = n - 1;
            break;
        }
        if (!readRunner(table, n, row, distance, store)) {
            messages.message(kCardFailed);
            return;
        }
    }
    store.fieldSize = runners;
    // The count stops at the first break in the horse numbers; the rows after it
    // are named, not dropped without a word.
    noteRunnersLeftOut(table, e + 2 + runners, 1, 2, 4, store, messages);
}

void scanSyutuba02Links(
    const QString &pageHtml, const QString &siteBase, RaceStore &store, MessageSink &messages)
{
    if (!scanHorseLinks(pageHtml, site2HorseLinks(), siteBase, store))
        messages.message(kLinksFailed);
}

void parseSyutuba02Page(
    const PageTable &table, const QString &siteBase, RaceStore &store, MessageSink &messages)
{
    parseSyutuba02(table, store, messages);
    scanSyutuba02Links(table.pageHtml, siteBase, store, messages);
}

PageStatus Site2CardReader::readCard(
    PageLoader &loader, const QString &url, const QString &siteBase, RaceStore &store, MessageSink &messages)
{
    return read(loader, url,
        request(QStringLiteral("出馬表読込み中・・・"), checkSyutuba02,
            QStringLiteral("WebData読込みエラー(err-AA21)")),
        [&](const PageTable &page) { parseSyutuba02Page(page, siteBase, store, messages); });
}

}  // namespace marunoki
