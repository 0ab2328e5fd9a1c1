#include "support/sample_season.h"

#include <QStringList>

#include <algorithm>
#include <cstdint>

namespace marunoki::test {

namespace {

// A small deterministic generator, so that every build makes the same season.
class Dice {
public:
    explicit Dice(std::uint64_t seed)
        : state_(seed)
    { }
    int below(int n)
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return int((state_ >> 33) % std::uint64_t(n));
    }

private:
    std::uint64_t state_;
};

double tenths(double seconds)
{
    return double(qRound(seconds * 10)) / 10;
}

double averageTime(int distance, bool turf)
{
    return tenths(distance * (turf ? 0.0595 : 0.0615));
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString withoutSlash(const QString &id)
{
    return id.endsWith(u'/') ? id.chopped(1) : id;
}

const QStringList kNameHeads = {QStringLiteral("ミホン"), QStringLiteral("カクウ"), QStringLiteral("タメシ"),
    QStringLiteral("ユメノ"), QStringLiteral("ハルカ"), QStringLiteral("アオバ"), QStringLiteral("シラナミ"),
    QStringLiteral("コガネ"), QStringLiteral("ソヨカゼ"), QStringLiteral("ヒカリ"),
    QStringLiteral("マボロシ"), QStringLiteral("ツキミ"), QStringLiteral("ホシゾラ"),
    QStringLiteral("アサギリ"), QStringLiteral("ナギサ"), QStringLiteral("モミジ"),
    QStringLiteral("サクラギ"), QStringLiteral("イナズマ"), QStringLiteral("カザミ"),
    QStringLiteral("トキワ")};
const QStringList kNameTails = {QStringLiteral("オー"), QStringLiteral("ボーイ"), QStringLiteral("スター"),
    QStringLiteral("キング"), QStringLiteral("クイン"), QStringLiteral("ダンサー"),
    QStringLiteral("ランナー"), QStringLiteral("ウイング"), QStringLiteral("ソング"),
    QStringLiteral("ライト"), QStringLiteral("ロード"), QStringLiteral("ハート"), QStringLiteral("ドリーム"),
    QStringLiteral("ブリーズ"), QStringLiteral("フラッグ"), QStringLiteral("ミライ"),
    QStringLiteral("タイム"), QStringLiteral("ゴールド"), QStringLiteral("シチー"), QStringLiteral("リバー"),
    QStringLiteral("ベル"), QStringLiteral("ノヴァ"), QStringLiteral("エース")};

// A race as run: the card's facts and every runner's run in it.
struct RunFacts {
    QDate date;
    int course, meeting, day, race;
    QString name;
    bool turf;
    int distance;
};

// Runs the field of a race: performances from ability and luck give the
// finishing order, time and last three furlongs; the market guesses from
// ability alone.
void runRace(const RunFacts &facts, const std::vector<int> &field, const std::vector<int> &ability,
    std::vector<HorsePage> &horses, Dice &dice)
{
    const int count = int(field.size());
    std::vector<std::pair<int, int>> performance, market;
    for (int n = 1; n <= count; ++n) {
        const int h = field[size_t(n - 1)];
        performance.push_back({ability[size_t(h)] + dice.below(15), n});
        market.push_back({ability[size_t(h)] + dice.below(9), n});
    }
    std::sort(performance.rbegin(), performance.rend());
    std::sort(market.rbegin(), market.rend());
    const double average = averageTime(facts.distance, facts.turf);
    for (int place = 1; place <= count; ++place) {
        const auto [score, n] = performance[size_t(place - 1)];
        const int h = field[size_t(n - 1)];
        PastRun run;
        run.year = facts.date.year();
        run.month = facts.date.month();
        run.day = facts.date.day();
        run.course = facts.course;
        run.meeting = facts.meeting;
        run.meetingDay = facts.day;
        run.race = facts.race;
        run.name = facts.name;
        run.surface = facts.turf ? QStringLiteral("芝") : QStringLiteral("ダ");
        run.distance = facts.distance;
        run.going = QStringLiteral("良");
        run.runners = count;
        run.number = n;
        run.bracket = std::min(8, (n + 1) / 2);
        run.finish = place;
        run.popularity = 1 + int(std::find_if(market.begin(), market.end(), [n = n](const auto &m) {
            return m.second == n;
        }) - market.begin());
        run.time = tenths(average - (score - 60) * 0.05 * facts.distance / 1600.0);
        run.last3f = QString::number(36.5 - (score - 60) * 0.06 + dice.below(5) * 0.1, 'f', 1);
        run.corners = QStringLiteral("%1-%2").arg(1 + dice.below(count)).arg(1 + dice.below(count));
        run.bodyWeight = 440 + (h * 7) % 80;
        run.weightChange = dice.below(9) - 4;
        run.raceLink.reset();
        horses[size_t(h)].runs.insert(horses[size_t(h)].runs.begin(), run);
    }
}

}  // namespace

SampleSeason makeSampleSeason(const SampleSeasonOptions &options)
{
    SampleSeason season;
    Dice dice(20260404);
    const int stable = options.horses;
    std::vector<int> ability;
    std::vector<bool> turfHorse;
    for (int h = 0; h < stable; ++h) {
        HorsePage horse;
        horse.name
            = kNameHeads[h % kNameHeads.size()] + kNameTails[(h / kNameHeads.size()) % kNameTails.size()];
        horse.sire = QStringLiteral("ミホンサイアー");
        horse.dam = QStringLiteral("ミホンメア");
        horse.damSire = QStringLiteral("ミホンブルード");
        horse.birth = QStringLiteral("2022年%1月%2日").arg(1 + h % 5).arg(1 + h % 28);
        season.horses.push_back(horse);
        season.horseIds.push_back(QStringLiteral("20221%1/").arg(h + 1, 5, 10, QLatin1Char('0')));
        ability.push_back(50 + dice.below(21));
        turfHorse.push_back(dice.below(3) != 0);
    }

    // The year before: four runs each on weekends from June 2025 to March
    // 2026, in fields of others of its kind.
    const QDate firstBefore(2025, 6, 7);
    for (int week = 0; week < 40; ++week) {
        const QDate date = firstBefore.addDays(7 * week);
        std::vector<int> field;
        for (int h = week % 10; h < stable; h += 10)
            field.push_back(h);
        for (bool turf : {true, false}) {
            std::vector<int> kind;
            for (int h : field) {
                if (turfHorse[size_t(h)] == turf)
                    kind.push_back(h);
            }
            for (size_t start = 0; start < kind.size(); start += 14) {
                const std::vector<int> part(kind.begin() + qsizetype(start),
                    kind.begin() + qsizetype(std::min(kind.size(), start + 14)));
                if (part.size() < 5)
                    continue;
                const int course = QList<int> {5, 6, 8, 9}[(week + int(start)) % 4];
                RunFacts facts {date, course, 1 + week % 5, 1 + week % 8, 1 + int(start / 14) % 12,
                    QStringLiteral("ミホン条件戦"), turf, turf ? 1800 : 1600};
                runRace(facts, part, ability, season.horses, dice);
            }
        }
    }

    // The season: both courses race on the same weekends.
    std::vector<QDate> days;
    for (int m = 0; m < options.meetings; ++m) {
        const QDate saturday = QDate(2026, 4, 4).addDays(21 * m);
        for (int d = 0; d < options.days; ++d)
            days.push_back(saturday.addDays(7 * (d / 2) + d % 2));
    }
    const int turfDistances[] = {1600, 1800, 2000, 2400};
    const int dirtDistances[] = {1400, 1600, 1800};
    for (size_t c = 0; c < options.courses.size(); ++c) {
        for (int m = 1; m <= options.meetings; ++m) {
            for (int d = 1; d <= options.days; ++d) {
                const QDate date = days[size_t((m - 1) * options.days + d - 1)];
                // Each course takes its half of the stable on a day, shuffled by the day.
                std::vector<int> free;
                for (int h = int(c); h < stable; h += int(options.courses.size()))
                    free.push_back(h);
                for (size_t i = free.size(); i > 1; --i)
                    std::swap(free[i - 1], free[size_t(dice.below(int(i)))]);
                size_t next = 0;
                for (int r = 1; r <= options.races; ++r) {
                    const int count = std::min<int>(10 + dice.below(7), int(free.size() - next));
                    SeasonRace race;
                    RaceCard &card = race.card;
                    card.year = date.year();
                    card.month = date.month();
                    card.day = date.day();
                    card.weekday = date.dayOfWeek() == 6 ? QStringLiteral("土") : QStringLiteral("日");
                    card.course = options.courses[c];
                    card.meeting = m;
                    card.meetingDay = d;
                    card.race = r;
                    const bool turf = r % 3 != 1;
                    card.surface = turf ? QStringLiteral("芝") : QStringLiteral("ダ");
                    card.distance = turf ? turfDistances[(r + d) % 4] : dirtDistances[(r + d) % 3];
                    card.name = r >= 11 ? QStringLiteral("ミホン特別") : QStringLiteral("4歳上1勝クラス");
                    for (int n = 1; n <= count; ++n) {
                        const int h = free[next++];
                        race.horses.push_back(h);
                        CardRunner runner;
                        runner.name = season.horses[size_t(h)].name;
                        runner.horseId = season.horseIds[size_t(h)];
                        runner.sexAge = QStringLiteral("牡4");
                        runner.jockey = QStringLiteral("見本騎手%1").arg(1 + (h + r) % 30);
                        card.runners.push_back(runner);
                    }
                    RunFacts facts {date, card.course, m, d, r, card.name, turf, card.distance};
                    runRace(facts, race.horses, ability, season.horses, dice);
                    season.races.push_back(race);
                }
            }
        }
    }
    // Newest first, whatever the order the races were run in above.
    for (HorsePage &horse : season.horses) {
        std::stable_sort(horse.runs.begin(), horse.runs.end(), [](const PastRun &a, const PastRun &b) {
            return QDate(a.year, a.month, a.day) > QDate(b.year, b.month, b.day);
        });
    }
    return season;
}

QString seasonCardAddress(const SeasonRace &race, int site, const QString &base)
{
    const RaceCard &c = race.card;
    const QString key
        = QStringLiteral("%1%2%3%4%5")
              .arg(c.year)
              .arg(twoDigits(c.course), twoDigits(c.meeting), twoDigits(c.meetingDay), twoDigits(c.race));
    if (site == 1)
        return base
            + QStringLiteral("/scores/%1/%2/%3/%4/%5/denma.html")
                  .arg(c.year)
                  .arg(twoDigits(c.course), twoDigits(c.meeting), twoDigits(c.meetingDay), twoDigits(c.race));
    return base + QStringLiteral("/race/page.php?param[race]=%1&param[option]=shutuba").arg(key);
}

QString seasonHorseAddress(const SampleSeason &season, int h, int site, const QString &base)
{
    const QString &id = season.horseIds[size_t(h)];
    return site == 1 ? site1HorseAddress(base, id) : site2HorseAddress(base, withoutSlash(id));
}

QMap<QString, QString> seasonPages(
    const SampleSeason &season, int site, const QString &base, std::optional<QDate> before)
{
    QMap<QString, QString> pages;
    for (const SeasonRace &race : season.races) {
        RaceCard card = race.card;
        if (site == 2) {
            for (CardRunner &runner : card.runners)
                runner.horseId = withoutSlash(runner.horseId);
        }
        pages.insert(
            seasonCardAddress(race, site, base), site == 1 ? site1CardPage(card) : site2CardPage(card));
    }
    for (int h = 0; h < int(season.horses.size()); ++h) {
        HorsePage horse = season.horses[size_t(h)];
        if (before) {
            std::erase_if(horse.runs,
                [&](const PastRun &run) { return QDate(run.year, run.month, run.day) >= *before; });
        }
        pages.insert(seasonHorseAddress(season, h, site, base),
            site == 1 ? site1HorsePage(horse) : site2HorsePage(horse));
    }
    return pages;
}

}  // namespace marunoki::test
