#include "web/site1_card_reader.h"

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
const QString kCardFailed = QStringLiteral("WebData読込みエラー(err-AA02)");
const QString kLinksFailed = QStringLiteral("U_Url読込みエラー(err-AA03)");

// Race date, title and conditions from the date row d; the distance from the
// conditions line. False on a date or distance that cannot be read.
bool readRaceHead(const PageTable &table, int d, RaceStore &store, qint32 &distance)
{
    // The date cell reads like 2007年5月27日(日) 2回東京12日: the date ends at its first 日.
    const QString &dateCell = table.cell(d, 2);
    const qsizetype dayMark = dateCell.indexOf(u'日');
    if (dayMark >= 0) {
        const auto date = parseDate(dateCell.left(dayMark + 1));
        if (!date)
            return false;
        store.raceDate = *date;
    }
    store.raceTitle = table.cell(d + 1, 1);
    store.raceConditions = table.cell(d + 2, 1);

    // The conditions line ends in the distance: ... 芝2400m.
    distance = 0;
    const qsizetype metre = store.raceConditions.indexOf(u'm');
    if (metre >= 0) {
        if (metre < 4)
            return false;
        const auto value = toWholeNumber(store.raceConditions.mid(metre - 4, 4));
        if (!value)
            return false;
        distance = *value;
    }
    return true;
}

// Runner n from its two rows. False on a parse failure.
bool readRunner(const PageTable &table, int n, int r1, int r2, qint32 distance, RaceStore &store)
{
    store.horses[n].name = stripSpaces(table.cell(r1, 4));

    // Second row, first cell: 牡3/鹿毛 見本調教師 (sex and age / coat colour, trainer).
    const QString &profile = table.cell(r2, 1);
    const qsizetype slash = profile.indexOf(u'/');
    if (slash >= 0)
        store.horses[n].sexAge = profile.left(slash);
    const qsizetype coatEnd = profile.indexOf(u'毛');
    if (coatEnd > slash) {
        store.horses[n].coatColour = profile.mid(slash + 1, coatEnd - slash);
        store.horses[n].runs[0].trainer = stripSpaces(profile.mid(coatEnd + 1, 50));
    }

    // Second row, second cell: 57.0kg 見本一騎 (weight carried, jockey).
    const QString &weightCell = table.cell(r2, 2);
    const qsizetype kg = weightCell.indexOf(QStringLiteral("kg"));
    if (kg < 0)
        return false;
    const CellRead weight = readSingle(weightCell.left(kg), store.horses[n].runs[0].weightCarried);
    if (weight == CellRead::Failed)
        return false;
    if (weight == CellRead::Set)
        store.horses[n].runs[0].jockey = stripSpaces(weightCell.mid(kg + 2, 50));

    store.horses[n].runs[0].distance = distance;
    store.horses[n].runs[0].date = store.raceDate;
    return true;
}

}  // namespace

bool checkSyutuba(const PageTable &table)
{
    return firstRow(table, 1, 25, 49, [](const QString &c) { return c == QStringLiteral("出馬表"); }) >= 0;
}

qint32 site1Bracket(int n, int runners)
{
    const int k = 16 - runners;
    if (runners <= 7)
        return n;
    if (runners <= 15)
        return n <= k ? n : k + roundUp(static_cast<float>(n - k) / 2);
    if (runners == 16 || (runners == 17 && n <= 14) || (runners >= 18 && n <= 12))
        return roundUp(static_cast<float>(n) / 2);
    if (runners == 17)
        return 8;
    return n <= 15 ? 7 : 8;
}

void parseSyutuba(const PageTable &table, RaceStore &store, MessageSink &messages)
{
    const int d
        = firstRow(table, 2, 0, 29, [](const QString &c) { return c.startsWith(QStringLiteral("20")); });
    if (d < 0) {
        messages.message(kCardMissing);
        return;
    }
    qint32 distance = 0;
    if (!readRaceHead(table, d, store, distance)) {
        messages.message(kCardFailed);
        return;
    }

    const int e
        = firstRow(table, 1, 20, 69, [](const QString &c) { return c.startsWith(QStringLiteral("枠番")); });
    if (e < 0) {
        messages.message(kCardMissing);
        return;
    }

    int runners = kMaxRunners;
    for (int n = 1; n <= kMaxRunners; ++n) {
        const int r1 = e + 2 * n - 1;
        const auto number = toNumber(table.cell(r1, 2));
        if (!number || *number != n) {
            runners = n - 1;
            break;
        }
        if (!readRunner(table, n, r1, e + 2 * n, distance, store)) {
            messages.message(kCardFailed);
            return;
        }
    }
    store.fieldSize = runners;
    // The count stops at the first break in the horse numbers; the rows after it
    // are named, not dropped without a word.
    noteRunnersLeftOut(table, e + 2 * runners + 1, 2, 2, 4, store, messages);

    for (int n = 1; n <= store.fieldSize; ++n)
        store.horses[n].runs[0].bracket = site1Bracket(n, store.fieldSize);
}

void scanSyutubaLinks(
    const QString &pageHtml, const QString &siteBase, RaceStore &store, MessageSink &messages)
{
    if (!scanHorseLinks(pageHtml, site1HorseLinks(), siteBase, store))
        messages.message(kLinksFailed);
}

void parseSyutubaPage(
    const PageTable &table, const QString &siteBase, RaceStore &store, MessageSink &messages)
{
    parseSyutuba(table, store, messages);
    scanSyutubaLinks(table.pageHtml, siteBase, store, messages);
}

PageStatus Site1CardReader::readCard(
    PageLoader &loader, const QString &url, const QString &siteBase, RaceStore &store, MessageSink &messages)
{
    return read(loader, url,
        request(QStringLiteral("出馬表読込み中・・・"), checkSyutuba,
            QStringLiteral("WebData読込みエラー(err-AA01)")),
        [&](const PageTable &page) { parseSyutubaPage(page, siteBase, store, messages); });
}

}  // namespace marunoki
