#include "journal/tally.h"

#include "app/race_store.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace marunoki {

namespace {

constexpr int kRankedRows = 5;

// The rank of a runner by the key (the mark's position for marks).
std::optional<int> rankBy(TallyKey key, const TallyRunner &runner)
{
    switch (key) {
    case TallyKey::Mean:
        return runner.rankMean;
    case TallyKey::Best:
        return runner.rankBest;
    case TallyKey::Mean90:
        return runner.rankMean90;
    case TallyKey::Popularity:
        return runner.popularity > 0 ? std::optional<int>(runner.popularity) : std::nullopt;
    case TallyKey::Mark:
        return runner.mark ? std::optional<int>(int(*runner.mark) + 1) : std::nullopt;
    }
    return std::nullopt;
}

QString captionOf(TallyKey key)
{
    switch (key) {
    case TallyKey::Mean:
        return QStringLiteral("平均指数 順位別成績");
    case TallyKey::Best:
        return QStringLiteral("最高指数 順位別成績");
    case TallyKey::Mean90:
        return QStringLiteral("90日平均指数 順位別成績");
    case TallyKey::Popularity:
        return QStringLiteral("人気 順位別成績（基準）");
    case TallyKey::Mark:
        return QStringLiteral("印別成績");
    }
    return {};
}

QString percent(double rate)
{
    return QString::number(rate * 100, 'f', 1) + u'%';
}

// Columns a character takes in a terminal: wide (East Asian) characters two.
int displayWidth(const QString &text)
{
    int width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115f) || (u >= 0x2e80 && u <= 0xa4cf)
            || (u >= 0xac00 && u <= 0xd7a3) || (u >= 0xf900 && u <= 0xfaff) || (u >= 0xfe30 && u <= 0xfe4f)
            || (u >= 0xff00 && u <= 0xff60) || (u >= 0xffe0 && u <= 0xffe6) || u == 0x25ce || u == 0x25cb
            || u == 0x25b2 || u == 0x25b3 || u == 0x2606 || u == 0x00d7;
        width += wide ? 2 : 1;
    }
    return width;
}

QString padded(const QString &text, int width, bool right)
{
    const QString fill(std::max(0, width - displayWidth(text)), u' ');
    return right ? fill + text : text + fill;
}

// How far back a runner came home: its position, or behind every finisher
// when it ran and did not finish.
constexpr int kNoPosition = 99;
int placeOf(const TallyRunner &runner)
{
    return runner.finish.value_or(kNoPosition);
}

// A counted race's facts every table uses.
struct CountedRace {
    const TallyRace *race = nullptr;
    bool hasOdds = false;  // every runner that ran has its odds
    int winners = 0;  // finishers in first place (a dead heat gives more)
};

// One runner into a row: a runner and its stake, and what the stake returned.
void countRunner(TallyRow &row, const TallyRunner &runner, const CountedRace &race)
{
    ++row.runners;
    const int place = placeOf(runner);
    if (place == 1)
        ++row.first;
    else if (place == 2)
        ++row.second;
    else if (place == 3)
        ++row.third;
    else
        ++row.out;
    if (race.hasOdds) {
        ++row.staked;
        if (place == 1 && race.winners > 0)
            row.payout += *runner.winOdds * 100.0 / race.winners;
    }
}

// One counted race into a rank table.
void addRace(TallyTable &table, const CountedRace &counted)
{
    const std::vector<TallyRunner> &runners = counted.race->runners;
    for (const TallyRunner &runner : runners) {
        const auto rank = rankBy(table.key, runner);
        if (!rank || !ran(runner.kind) || *rank < 1 || *rank > int(table.rows.size()))
            continue;
        countRunner(table.rows[size_t(*rank - 1)], runner, counted);
    }
    if (!table.comparesFavourite)
        return;
    std::optional<int> topPlace;
    bool topIsFavourite = false;
    std::optional<int> favouritePlace;
    for (const TallyRunner &runner : runners) {
        if (!ran(runner.kind))
            continue;
        if (runner.popularity == 1)
            favouritePlace = placeOf(runner);
        if (rankBy(table.key, runner) == 1) {
            topPlace = std::min(topPlace.value_or(kNoPosition), placeOf(runner));
            topIsFavourite = topIsFavourite || runner.popularity == 1;
        }
    }
    if (!topPlace || !favouritePlace)
        return;
    if (topIsFavourite) {
        ++table.sameHorse;
        return;
    }
    ++table.compared;
    if (*topPlace < *favouritePlace)
        ++table.ahead;
}

int figureIndex(TallyKey key)
{
    return key == TallyKey::Mean ? 0 : key == TallyKey::Best ? 1 : 2;
}

bool isFigure(TallyKey key)
{
    return key == TallyKey::Mean || key == TallyKey::Best || key == TallyKey::Mean90;
}

// The rank-1 runners of a figure by the lead of the top figure over the second.
void addLead(TallyTable &table, const CountedRace &counted)
{
    const auto lead = counted.race->lead[size_t(figureIndex(table.key))];
    if (!lead)
        return;
    TallyRow &row = table.rows[size_t(leadBand(*lead))];
    for (const TallyRunner &runner : counted.race->runners) {
        if (ran(runner.kind) && rankBy(table.key, runner) == 1)
            countRunner(row, runner, counted);
    }
}

const QString kDistanceBands[] = {QStringLiteral("～1400m"), QStringLiteral("1500～1800m"),
    QStringLiteral("1900～2200m"), QStringLiteral("2300m～")};
const QString kFieldBands[] = {
    QStringLiteral("～8頭"), QStringLiteral("9～12頭"), QStringLiteral("13～16頭"), QStringLiteral("17頭～")};

// The group of a race as an order to sort by and the words shown; nothing
// when the race has no value for it.
std::optional<std::pair<int, QString>> groupOf(TallyGroup group, const TallyRace &race)
{
    switch (group) {
    case TallyGroup::None:
        return std::pair(0, QString());
    case TallyGroup::Course: {
        const int index = race.course.toInt();
        if (index >= 1 && index <= kCourseCount)
            return std::pair(index, courseNames()[size_t(index)]);
        return std::pair(kCourseCount + 1, race.course);
    }
    case TallyGroup::Surface:
        if (!race.surface)
            return std::nullopt;
        return std::pair(*race.surface == 1 ? 0
                : *race.surface == 0        ? 1
                                            : 2,
            *race.surface == 1       ? QStringLiteral("芝")
                : *race.surface == 0 ? QStringLiteral("ダ")
                                     : QStringLiteral("障害"));
    case TallyGroup::Distance: {
        if (race.distance <= 0)
            return std::nullopt;
        const int band = race.distance <= 1400 ? 0
            : race.distance <= 1800            ? 1
            : race.distance <= 2200            ? 2
                                               : 3;
        return std::pair(band, kDistanceBands[band]);
    }
    case TallyGroup::Month:
        if (!race.date.isValid())
            return std::nullopt;
        return std::pair(race.date.month(), QStringLiteral("%1月").arg(race.date.month()));
    case TallyGroup::Field: {
        if (race.fieldSize <= 0)
            return std::nullopt;
        const int band = race.fieldSize <= 8 ? 0 : race.fieldSize <= 12 ? 1 : race.fieldSize <= 16 ? 2 : 3;
        return std::pair(band, kFieldBands[band]);
    }
    }
    return std::nullopt;
}

// The table's first row as the grouped table's rank-1 line: the key's top.
QString topLabel(TallyKey key)
{
    switch (key) {
    case TallyKey::Popularity:
        return QStringLiteral("1番人気");
    case TallyKey::Mark:
        return markSymbol(Mark::Honmei);
    default:
        return captionOf(key).section(u' ', 0, 0) + QStringLiteral("1位");
    }
}

bool resulted(const TallyRace &race)
{
    return std::all_of(
               race.runners.begin(), race.runners.end(), [](const TallyRunner &r) { return r.hasResult; })
        && std::any_of(race.runners.begin(), race.runners.end(),
            [](const TallyRunner &r) { return r.hasResult && ran(r.kind) && r.finish; });
}

// The races of each date, course and race number, one each: the site asked
// for is the filter's; else the one whose record has the results, else the
// preferred site's. How many places had both sites' records in `both`.
std::vector<const TallyRace *> oncePerRace(const std::vector<TallyRace> &races, int preferredSite, int &both)
{
    std::map<std::tuple<QDate, QString, int>, std::vector<const TallyRace *>> places;
    std::vector<std::tuple<QDate, QString, int>> order;
    for (const TallyRace &race : races) {
        auto [at, fresh] = places.try_emplace({race.date, race.course, race.race});
        if (fresh)
            order.push_back(at->first);
        at->second.push_back(&race);
    }
    std::vector<const TallyRace *> chosen;
    chosen.reserve(order.size());
    for (const auto &place : order) {
        const std::vector<const TallyRace *> &records = places[place];
        if (records.size() == 1) {
            chosen.push_back(records.front());
            continue;
        }
        ++both;
        const TallyRace *pick = nullptr;
        for (const TallyRace *race : records) {
            const bool better = !pick || (resulted(*race) && !resulted(*pick))
                || (resulted(*race) == resulted(*pick) && race->site == preferredSite
                    && pick->site != preferredSite);
            if (better)
                pick = race;
        }
        chosen.push_back(pick);
    }
    return chosen;
}

TallyTable emptyTable(
    TallyKey key, TallyTableKind kind, const QString &caption, const std::vector<QString> &labels)
{
    TallyTable table;
    table.key = key;
    table.kind = kind;
    table.caption = caption;
    for (const QString &label : labels)
        table.rows.push_back({label, {}});
    return table;
}

}  // namespace

int leadBand(double lead)
{
    const double tenths = std::round(lead * 10);
    return tenths < 20 ? 0 : tenths < 50 ? 1 : tenths < 100 ? 2 : 3;
}

std::pair<double, double> wilsonInterval(int successes, int n)
{
    if (n <= 0)
        return {0, 0};
    constexpr double z = 1.959963984540054;
    const double p = double(successes) / n;
    const double z2n = z * z / n;
    const double centre = (p + z2n / 2) / (1 + z2n);
    const double half = z * std::sqrt(p * (1 - p) / n + z2n / (4 * n)) / (1 + z2n);
    return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

std::optional<TallyKey> tallyKeyOf(const QString &name)
{
    static const std::map<QString, TallyKey> keys = {{QStringLiteral("mean"), TallyKey::Mean},
        {QStringLiteral("best"), TallyKey::Best}, {QStringLiteral("mean90"), TallyKey::Mean90},
        {QStringLiteral("popularity"), TallyKey::Popularity}, {QStringLiteral("mark"), TallyKey::Mark}};
    const auto found = keys.find(name);
    return found == keys.end() ? std::nullopt : std::optional<TallyKey>(found->second);
}

std::optional<TallyGroup> tallyGroupOf(const QString &name)
{
    static const std::map<QString, TallyGroup> groups = {{QStringLiteral("course"), TallyGroup::Course},
        {QStringLiteral("surface"), TallyGroup::Surface}, {QStringLiteral("distance"), TallyGroup::Distance},
        {QStringLiteral("month"), TallyGroup::Month}, {QStringLiteral("field"), TallyGroup::Field}};
    const auto found = groups.find(name);
    return found == groups.end() ? std::nullopt : std::optional<TallyGroup>(found->second);
}

QString tallyGroupCaption(TallyGroup group)
{
    switch (group) {
    case TallyGroup::None:
        return {};
    case TallyGroup::Course:
        return QStringLiteral("競馬場別");
    case TallyGroup::Surface:
        return QStringLiteral("芝・ダ別");
    case TallyGroup::Distance:
        return QStringLiteral("距離別");
    case TallyGroup::Month:
        return QStringLiteral("月別");
    case TallyGroup::Field:
        return QStringLiteral("頭数別");
    }
    return {};
}

std::vector<TallyKey> tallyKeysFor(std::optional<TallyKey> by)
{
    if (!by)
        return {TallyKey::Mean, TallyKey::Best, TallyKey::Mean90, TallyKey::Popularity};
    if (*by == TallyKey::Popularity)
        return {TallyKey::Popularity};
    return {*by, TallyKey::Popularity};
}

Tally computeTally(const std::vector<TallyRace> &races, const TallyLayout &layout)
{
    Tally tally;
    tally.group = layout.group;
    for (const TallyKey key : layout.keys) {
        std::vector<QString> labels;
        const int rows = key == TallyKey::Mark ? kMarkCount : kRankedRows;
        labels.reserve(size_t(rows));
        for (int i = 0; i < rows; ++i)
            labels.push_back(
                key == TallyKey::Mark ? markSymbol(Mark(i)) : QString::number(i + 1) + QStringLiteral("位"));
        TallyTable table = emptyTable(key, TallyTableKind::Ranks, captionOf(key), labels);
        table.comparesFavourite = isFigure(key);
        tally.tables.push_back(std::move(table));
    }
    for (const TallyKey key : layout.keys) {
        if (!isFigure(key))
            continue;
        tally.tables.push_back(
            emptyTable(key, TallyTableKind::Lead, QStringLiteral("%1 2位との差別成績").arg(topLabel(key)),
                {QStringLiteral("0～1.9"), QStringLiteral("2～4.9"), QStringLiteral("5～9.9"),
                    QStringLiteral("10～")}));
    }
    // Grouped: per key one table, a row per value with the key's top runners.
    std::vector<std::map<int, TallyRow>> grouped(layout.keys.size());

    const std::vector<const TallyRace *> chosen = oncePerRace(races, layout.preferredSite, tally.bothSites);
    for (const TallyRace *race : chosen) {
        if (race->leftOut > 0) {
            ++tally.incomplete;
            continue;
        }
        if (!resulted(*race)) {
            ++tally.pending;
            continue;
        }
        const auto ranked = std::count_if(race->runners.begin(), race->runners.end(),
            [](const TallyRunner &r) { return r.rankMean.has_value(); });
        if (ranked < 2) {
            ++tally.unranked;
            continue;
        }
        ++tally.counted;
        tally.first = tally.first ? std::min(*tally.first, race->date) : race->date;
        tally.last = tally.last ? std::max(*tally.last, race->date) : race->date;
        CountedRace counted {race, true, 0};
        for (const TallyRunner &r : race->runners) {
            if (!ran(r.kind))
                continue;
            counted.hasOdds = counted.hasOdds && r.winOdds.has_value();
            counted.winners += r.finish == 1 ? 1 : 0;
        }
        if (!counted.hasOdds)
            ++tally.withoutOdds;
        for (TallyTable &table : tally.tables) {
            if (table.kind == TallyTableKind::Ranks)
                addRace(table, counted);
            else
                addLead(table, counted);
        }
        if (layout.group == TallyGroup::None)
            continue;
        const auto group = groupOf(layout.group, *race);
        if (!group)
            continue;
        for (size_t k = 0; k < layout.keys.size(); ++k) {
            TallyRow &row = grouped[k][group->first];
            row.label = topLabel(layout.keys[k]);
            row.group = group->second;
            for (const TallyRunner &runner : race->runners) {
                if (ran(runner.kind) && rankBy(layout.keys[k], runner) == 1)
                    countRunner(row, runner, counted);
            }
        }
    }
    if (layout.group != TallyGroup::None) {
        for (size_t k = 0; k < layout.keys.size(); ++k) {
            TallyTable table = emptyTable(layout.keys[k], TallyTableKind::Group,
                QStringLiteral("%1 %2").arg(topLabel(layout.keys[k]), tallyGroupCaption(layout.group)), {});
            for (auto &[order, row] : grouped[k])
                table.rows.push_back(std::move(row));
            tally.tables.push_back(std::move(table));
        }
    }
    return tally;
}

std::vector<QString> tallyColumns(TallyKey key)
{
    return {key == TallyKey::Mark ? QStringLiteral("印") : QStringLiteral("順位"), QStringLiteral("頭数"),
        QStringLiteral("1着"), QStringLiteral("2着"), QStringLiteral("3着"), QStringLiteral("着外"),
        QStringLiteral("勝率"), QStringLiteral("連対率"), QStringLiteral("複勝率"),
        QStringLiteral("単勝回収率"), QStringLiteral("注")};
}

std::vector<QString> tallyCells(const TallyRow &row)
{
    const auto returned = row.returnRate();
    return {row.shownLabel(), QString::number(row.runners), QString::number(row.first),
        QString::number(row.second), QString::number(row.third), QString::number(row.out),
        percent(row.winRate()), percent(row.placeRate()), percent(row.showRate()),
        returned ? percent(*returned) : QStringLiteral("-"),
        row.tentative() ? QStringLiteral("参考") : QString()};
}

QString returnLine(const Tally &tally)
{
    const TallyRow *top = nullptr;
    const TallyRow *favourite = nullptr;
    QString topName;
    for (const TallyTable &table : tally.tables) {
        if (table.kind != TallyTableKind::Ranks || table.rows.empty())
            continue;
        if (!top && isFigure(table.key)) {
            top = &table.rows.front();
            topName = topLabel(table.key);
        }
        if (table.key == TallyKey::Popularity)
            favourite = &table.rows.front();
    }
    if (!top || !favourite)
        return {};
    const auto text = [](const TallyRow &row) {
        const auto rate = row.returnRate();
        return rate ? percent(*rate) : QStringLiteral("-");
    };
    return QStringLiteral("単勝回収率 %1 %2 ／ 1番人気 %3（基準）")
        .arg(topName, text(*top), text(*favourite));
}

QString conditionsLine(const Tally &tally)
{
    QString words = tally.conditions.isEmpty() ? QStringLiteral("すべてのレース") : tally.conditions;
    if (tally.group != TallyGroup::None)
        words += QStringLiteral("、") + tallyGroupCaption(tally.group);
    return QStringLiteral("条件: ") + words;
}

QString rangeLine(const Tally &tally)
{
    if (!tally.first)
        return QStringLiteral("期間: 集計したレースなし");
    return QStringLiteral("期間: %1 〜 %2（集計した最初と最後のレース）")
        .arg(tally.first->toString(Qt::ISODate), tally.last->toString(Qt::ISODate));
}

QString tallyNote()
{
    return QStringLiteral("単勝回収率は100円ずつ買った払戻の合計÷購入額（取消・除外は返還、1着同着は単勝オッ"
                          "ズを同着の数で割る）。"
                          "複勝回収率は馬のページに複勝の払戻がないため出しません。頭数30未満の行は参考。");
}

QString favouriteLine(const TallyTable &table)
{
    if (!table.comparesFavourite)
        return {};
    const QString share
        = table.compared ? percent(double(table.ahead) / table.compared) : QStringLiteral("-");
    return QStringLiteral("指数1位が1番人気に先着: %1 / %2 レース (%3)、同じ馬 %4 レース")
        .arg(table.ahead)
        .arg(table.compared)
        .arg(share)
        .arg(table.sameHorse);
}

QString tallyFooter(const Tally &tally)
{
    return QStringLiteral("集計 %1 レース　結果待ち %2 レース　指数のある馬が2頭未満 %3 レース　"
                          "出馬表を読み切れなかった %4 レース　両サイトで読んだ %5 レース（1回と数える）　"
                          "単勝オッズなし %6 レース")
        .arg(tally.counted)
        .arg(tally.pending)
        .arg(tally.unranked)
        .arg(tally.incomplete)
        .arg(tally.bothSites)
        .arg(tally.withoutOdds);
}

QString tallyText(const Tally &tally)
{
    QString text;
    if (const QString line = returnLine(tally); !line.isEmpty())
        text += line + u'\n';
    text += conditionsLine(tally) + u'\n' + rangeLine(tally) + u'\n' + u'\n';
    for (const TallyTable &table : tally.tables) {
        const std::vector<QString> heads = tallyColumns(table.key);
        std::vector<std::vector<QString>> lines = {heads};
        for (const TallyRow &row : table.rows)
            lines.push_back(tallyCells(row));
        std::vector<int> widths(heads.size(), 0);
        for (const auto &line : lines) {
            for (size_t c = 0; c < line.size(); ++c)
                widths[c] = std::max(widths[c], displayWidth(line[c]));
        }
        text += QStringLiteral("■ ") + table.caption + u'\n';
        for (const auto &line : lines) {
            QString out;
            for (size_t c = 0; c < line.size(); ++c)
                out += (c ? QStringLiteral("  ") : QString()) + padded(line[c], widths[c], c > 0);
            text += out + u'\n';
        }
        if (const QString favourite = favouriteLine(table); !favourite.isEmpty())
            text += favourite + u'\n';
        text += u'\n';
    }
    return text + tallyFooter(tally) + u'\n' + tallyNote() + u'\n';
}

}  // namespace marunoki
