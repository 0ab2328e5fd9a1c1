#include "journal/tally.h"

#include <algorithm>
#include <map>

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

void countFinish(TallyRow &row, int finish)
{
    ++row.runners;
    if (finish == 1)
        ++row.first;
    else if (finish == 2)
        ++row.second;
    else if (finish == 3)
        ++row.third;
    else
        ++row.out;
}

// One counted race into a table.
void addRace(TallyTable &table, const std::vector<const TallyRunner *> &race)
{
    for (const TallyRunner *runner : race) {
        const auto rank = rankBy(table.key, *runner);
        if (!rank || !runner->finish || *rank < 1 || *rank > int(table.rows.size()))
            continue;
        countFinish(table.rows[size_t(*rank - 1)], *runner->finish);
    }
    if (!table.comparesFavourite)
        return;
    std::optional<int> topFinish;
    bool topIsFavourite = false;
    std::optional<int> favouriteFinish;
    for (const TallyRunner *runner : race) {
        if (!runner->finish)
            continue;
        if (runner->popularity == 1)
            favouriteFinish = runner->finish;
        if (rankBy(table.key, *runner) == 1) {
            topFinish = std::min(topFinish.value_or(*runner->finish), *runner->finish);
            topIsFavourite = topIsFavourite || runner->popularity == 1;
        }
    }
    if (!topFinish || !favouriteFinish)
        return;
    if (topIsFavourite) {
        ++table.sameHorse;
        return;
    }
    ++table.compared;
    if (*topFinish < *favouriteFinish)
        ++table.ahead;
}

}  // namespace

std::optional<TallyKey> tallyKeyOf(const QString &name)
{
    static const std::map<QString, TallyKey> keys = {{QStringLiteral("mean"), TallyKey::Mean},
        {QStringLiteral("best"), TallyKey::Best}, {QStringLiteral("mean90"), TallyKey::Mean90},
        {QStringLiteral("popularity"), TallyKey::Popularity}, {QStringLiteral("mark"), TallyKey::Mark}};
    const auto found = keys.find(name);
    return found == keys.end() ? std::nullopt : std::optional<TallyKey>(found->second);
}

std::vector<TallyKey> tallyKeysFor(std::optional<TallyKey> by)
{
    if (!by)
        return {TallyKey::Mean, TallyKey::Best, TallyKey::Mean90, TallyKey::Popularity};
    if (*by == TallyKey::Popularity)
        return {TallyKey::Popularity};
    return {*by, TallyKey::Popularity};
}

Tally computeTally(const std::vector<TallyRunner> &runners, const std::vector<TallyKey> &keys)
{
    Tally tally;
    for (const TallyKey key : keys) {
        TallyTable table;
        table.key = key;
        table.caption = captionOf(key);
        table.comparesFavourite = key == TallyKey::Mean || key == TallyKey::Best || key == TallyKey::Mean90;
        const int rows = key == TallyKey::Mark ? kMarkCount : kRankedRows;
        for (int i = 0; i < rows; ++i) {
            TallyRow row;
            row.label
                = key == TallyKey::Mark ? markSymbol(Mark(i)) : QString::number(i + 1) + QStringLiteral("位");
            table.rows.push_back(row);
        }
        tally.tables.push_back(std::move(table));
    }

    std::vector<const TallyRunner *> race;
    const auto endRace = [&] {
        if (race.empty())
            return;
        const bool resulted
            = std::all_of(race.begin(), race.end(), [](const TallyRunner *r) { return r->hasResult; })
            && std::any_of(
                race.begin(), race.end(), [](const TallyRunner *r) { return r->finish.has_value(); });
        const auto ranked = std::count_if(
            race.begin(), race.end(), [](const TallyRunner *r) { return r->rankMean.has_value(); });
        if (!resulted) {
            ++tally.pending;
        } else if (ranked < 2) {
            ++tally.unranked;
        } else {
            ++tally.counted;
            for (TallyTable &table : tally.tables)
                addRace(table, race);
        }
        race.clear();
    };
    for (const TallyRunner &runner : runners) {
        if (!race.empty() && race.front()->raceId != runner.raceId)
            endRace();
        race.push_back(&runner);
    }
    endRace();
    return tally;
}

std::vector<QString> tallyColumns(TallyKey key)
{
    return {key == TallyKey::Mark ? QStringLiteral("印") : QStringLiteral("順位"), QStringLiteral("レース数"),
        QStringLiteral("1着"), QStringLiteral("2着"), QStringLiteral("3着"), QStringLiteral("着外"),
        QStringLiteral("勝率"), QStringLiteral("連対率"), QStringLiteral("複勝率")};
}

std::vector<QString> tallyCells(const TallyRow &row)
{
    return {row.label, QString::number(row.runners), QString::number(row.first), QString::number(row.second),
        QString::number(row.third), QString::number(row.out), percent(row.winRate()),
        percent(row.placeRate()), percent(row.showRate())};
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
    return QStringLiteral("集計 %1 レース　結果待ち %2 レース　指数のある馬が2頭未満 %3 レース")
        .arg(tally.counted)
        .arg(tally.pending)
        .arg(tally.unranked);
}

QString tallyText(const Tally &tally)
{
    QString text;
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
    return text + tallyFooter(tally) + u'\n';
}

}  // namespace marunoki
