#include "support/sample_race.h"

#include <algorithm>

#include "support/http_test_server.h"

#include <QDate>

#include <cmath>

namespace marunoki::test {

namespace {

const QDate kRaceDay(2026, 11, 29);
constexpr int kPoolSize = 20;
constexpr int kRunsPerRunner = 7;
constexpr int kFieldSize = 16;

double tenths(double seconds)
{
    return std::round(seconds * 10) / 10;
}

// Average winning time of a distance and surface (turf a little faster).
double averageTime(int distance, int surface)
{
    return tenths(distance * (surface == 1 ? 0.0595 : 0.0615));
}

// One race of the pool of past races.
struct PoolRace {
    int daysBefore;
    int course;
    int surface;
    int distance;
    int raceNo;
    int meeting;
    int meetingDay;
    QString going;
    QString name;
    double winningTime;
};

PoolRace poolRace(int s)
{
    static const int courses[] = {5, 6, 8, 9, 7};
    static const char16_t *goings[] = {u"良", u"良", u"稍", u"重", u"良", u"不"};
    PoolRace race;
    race.daysBefore = 14 + 21 * s;
    race.course = courses[s % 5];
    race.surface = s % 4 == 3 ? 0 : 1;
    race.distance = race.surface == 1 ? 1600 + 400 * (s % 3) : 1600 + 200 * (s % 2);
    race.raceNo = 9 + s % 3;
    race.meeting = 1 + s % 5;
    race.meetingDay = 1 + s % 8;
    race.going = QString::fromUtf16(goings[s % 6]);
    race.name = QStringLiteral("サンプル特別%1").arg(s + 1);
    race.winningTime = tenths(averageTime(race.distance, race.surface) + ((s * 7) % 11 - 5) * 0.1);
    return race;
}

void setDate(PastRun &run, int daysBefore)
{
    const QDate date = kRaceDay.addDays(-daysBefore);
    run.year = date.year();
    run.month = date.month();
    run.day = date.day();
}

// Runner n's run in pool race s.
PastRun runnerRun(int n, int s, const CardRunner &runner)
{
    const PoolRace race = poolRace(s);
    PastRun run;
    setDate(run, race.daysBefore);
    run.course = race.course;
    run.meeting = race.meeting;
    run.meetingDay = race.meetingDay;
    run.race = race.raceNo;
    run.name = race.name;
    run.surface = race.surface == 1 ? QStringLiteral("芝") : QStringLiteral("ダ");
    run.distance = race.distance;
    run.going = race.going;
    run.runners = kFieldSize;
    // Distinct finishing positions for the runners of one race: 5 and 16 are coprime.
    run.finish = (n * 5 + s * 3) % kFieldSize + 1;
    run.number = (n + s) % kFieldSize + 1;
    run.bracket = std::min(8, (run.number + 1) / 2);
    run.popularity = (n * 3 + s) % kFieldSize + 1;
    run.jockey = runner.jockey;
    run.carried = runner.weight.left(2);
    run.bodyWeight = 440 + n * 4 + (s % 3) * 2;
    run.weightChange = (s % 3 - 1) * 2;
    run.time = tenths(race.winningTime + (run.finish - 1) * 0.2);
    run.last3f = QString::number((race.surface == 1 ? 33.5 : 36.0) + ((n * 3 + s) % 20) * 0.1, 'f', 1);
    const int first = (n * 7 + s) % kFieldSize + 1;
    const int last = (first + run.finish + 1) / 2;
    run.corners = QStringLiteral("%1-%2-%3-%4").arg(first).arg(first).arg((first + last) / 2).arg(last);
    return run;
}

// A race of runner 1 alone, outside the pool: for the edges of the date window.
PastRun boundaryRun(int daysBefore, const CardRunner &runner)
{
    PastRun run = runnerRun(1, 0, runner);
    setDate(run, daysBefore);
    run.course = 5;
    run.surface = QStringLiteral("芝");
    run.distance = 2000;
    run.race = 10;
    run.name = QStringLiteral("境界特別%1").arg(daysBefore);
    run.time = tenths(averageTime(2000, 1) + 0.3);
    return run;
}

QString withoutSlash(QString id)
{
    if (id.endsWith(u'/'))
        id.chop(1);
    return id;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QChar(u'0'));
}

}  // namespace

SampleRace makeSampleRace(const SampleRaceOptions &options)
{
    SampleRace race;
    RaceCard &card = race.card;
    card.year = kRaceDay.year();
    card.month = kRaceDay.month();
    card.day = kRaceDay.day();
    card.weekday = QStringLiteral("日");
    card.course = 5;
    card.meeting = 5;
    card.meetingDay = 9;
    card.race = 11;
    card.name = QStringLiteral("サンプルカップ(GIII)");
    card.surface = QStringLiteral("芝");
    card.distance = 2400;
    card.runners = sampleRunners(options.runners, true);
    for (int n = 1; n <= options.runners; ++n) {
        CardRunner &runner = card.runners[n - 1];
        runner.name = QStringLiteral("サンプルホース") + twoDigits(n);
        runner.trainer = QStringLiteral("見本調教師");
    }
    if (options.runners >= 3 && !options.runner3Name.isEmpty())
        card.runners[2].name = options.runner3Name;
    if (options.race != 11) {
        // Another race of the same day: its own field of made-up horses.
        const int r = options.race;
        card.race = r;
        card.name
            = r % 2 == 0 ? QStringLiteral("見本ステークス%1").arg(r) : QStringLiteral("見本特別%1").arg(r);
        card.surface = r % 2 == 0 ? QStringLiteral("ダ") : QStringLiteral("芝");
        card.distance = r % 2 == 0 ? 1600 : 1800;
        for (int n = 1; n <= options.runners; ++n) {
            CardRunner &runner = card.runners[n - 1];
            runner.name = QStringLiteral("ミホン%1ゴウ").arg(r * 100 + n);
            runner.horseId = QStringLiteral("20041%1/").arg(r * 100 + n, 5, 10, QChar(u'0'));
        }
    }

    for (int n = 1; n <= options.runners; ++n) {
        const CardRunner &runner = card.runners[n - 1];
        HorsePage horse;
        horse.name = runner.name;
        horse.sire = QStringLiteral("サンプルサイアー%1").arg(n % 4 + 1);
        horse.dam = QStringLiteral("サンプルメア%1").arg(n);
        horse.damSire = QStringLiteral("サンプルダムサイアー%1").arg(n % 3 + 1);
        horse.birth = QStringLiteral("2022年4月%1日").arg(n);
        if (n == 1 && options.boundaryRuns)
            horse.runs.push_back(boundaryRun(0, runner));
        int poolRuns = 0;
        for (int s = 0; s < kPoolSize && poolRuns < kRunsPerRunner; ++s) {
            if ((s + n) % 3 != 0) {
                horse.runs.push_back(runnerRun(n, s, runner));
                ++poolRuns;
            }
        }
        if (n == 1 && options.boundaryRuns) {
            horse.runs.push_back(boundaryRun(419, runner));
            horse.runs.push_back(boundaryRun(420, runner));
        }
        race.horses.push_back(horse);
    }
    return race;
}

void serveSamplePages(HttpTestServer &server, const SampleRace &race, const QString &base, int delayMs)
{
    for (int site : {1, 2}) {
        const QMap<QString, QString> pages = samplePages(race, site, base);
        for (auto page = pages.begin(); page != pages.end(); ++page)
            server.route(page.key().mid(base.size()),
                HttpRoute::html(samplePageBytes(page.value()), "UTF-8").delayed(delayMs));
    }
}

SampleRaceOptions sampleDayRaceOptions(int race)
{
    SampleRaceOptions options;
    options.race = race;
    if (race != 11)
        options.runners = 14 + (race % 3) * 2;
    return options;
}

QByteArray samplePageBytes(const QString &bodyHtml)
{
    return (QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"ja\"><head><meta charset=\"UTF-8\">"
                           "<title>サンプルデータ（架空のレース）</title></head>\r\n<body>\r\n")
        + bodyHtml + QStringLiteral("</body></html>\r\n"))
        .toUtf8();
}

QString sampleCardAddress(const SampleRace &race, int site, const QString &base)
{
    const RaceCard &c = race.card;
    if (site == 1)
        return base
            + QStringLiteral("/scores/%1/%2/%3/%4/%5/denma.html")
                  .arg(c.year)
                  .arg(twoDigits(c.course), twoDigits(c.meeting), twoDigits(c.meetingDay), twoDigits(c.race));
    return base
        + QStringLiteral("/race/page.php?param[race]=%1%2%3%4%5&param[option]=shutuba")
              .arg(c.year)
              .arg(twoDigits(c.course), twoDigits(c.meeting), twoDigits(c.meetingDay), twoDigits(c.race));
}

QString sampleHorseAddress(const SampleRace &race, int site, const QString &base, int n)
{
    const QString &id = race.card.runners.at(n - 1).horseId;
    return site == 1 ? site1HorseAddress(base, id) : site2HorseAddress(base, withoutSlash(id));
}

QMap<QString, QString> samplePages(const SampleRace &race, int site, const QString &base)
{
    QMap<QString, QString> pages;
    if (site == 1) {
        pages.insert(sampleCardAddress(race, 1, base), site1CardPage(race.card));
    } else {
        RaceCard card = race.card;
        for (CardRunner &runner : card.runners)
            runner.horseId = withoutSlash(runner.horseId);
        pages.insert(sampleCardAddress(race, 2, base), site2CardPage(card));
    }
    for (int n = 1; n <= int(race.horses.size()); ++n) {
        const HorsePage &horse = race.horses[n - 1];
        pages.insert(sampleHorseAddress(race, site, base, n),
            site == 1 ? site1HorsePage(horse) : site2HorsePage(horse));
    }
    return pages;
}

QMap<QString, QString> sampleAfterRacePages(const SampleRace &race, int site, const QString &base)
{
    const RaceCard &card = race.card;
    const int field = int(race.horses.size());
    // Past form: the mean finishing position of the runner's runs.
    std::vector<std::pair<double, int>> form;
    for (int n = 1; n <= field; ++n) {
        double sum = 0;
        for (const PastRun &run : race.horses[size_t(n - 1)].runs)
            sum += run.finish;
        const size_t runs = std::max<size_t>(1, race.horses[size_t(n - 1)].runs.size());
        form.push_back({sum / double(runs), n});
    }
    std::sort(form.begin(), form.end());
    // The order by form with neighbours swapped here and there: the race's result
    // and, swapped elsewhere, the market's opinion.
    const auto shuffled = [&](int offset) {
        std::vector<int> order;
        for (const auto &entry : form)
            order.push_back(entry.second);
        for (size_t i = size_t(offset % 3); i + 1 < order.size(); i += 3)
            std::swap(order[i], order[i + 1]);
        return order;
    };
    const std::vector<int> finishing = shuffled(card.race);
    const std::vector<int> market = shuffled(card.race + 1);
    QMap<QString, QString> pages;
    for (int n = 1; n <= field; ++n) {
        HorsePage horse = race.horses[size_t(n - 1)];
        if (!(card.race == 12 && n == kSampleScratched)) {
            PastRun run = horse.runs.empty() ? PastRun {} : horse.runs.front();
            run.year = card.year;
            run.month = card.month;
            run.day = card.day;
            run.course = card.course;
            run.meeting = card.meeting;
            run.meetingDay = card.meetingDay;
            run.race = card.race;
            run.name = card.name;
            run.surface = card.surface;
            run.distance = card.distance;
            run.runners = field;
            run.number = n;
            run.bracket = std::min(8, (n + 1) / 2);
            run.finish = int(std::find(finishing.begin(), finishing.end(), n) - finishing.begin()) + 1;
            run.popularity = int(std::find(market.begin(), market.end(), n) - market.begin()) + 1;
            run.time = tenths(averageTime(card.distance, card.surface == QStringLiteral("芝") ? 1 : 0)
                + (run.finish - 1) * 0.2);
            run.last3f = QString::number(34.0 + ((n * 3 + card.race) % 15) * 0.1, 'f', 1);
            run.raceLink.reset();
            horse.runs.insert(horse.runs.begin(), run);
        }
        pages.insert(sampleHorseAddress(race, site, base, n),
            site == 1 ? site1HorsePage(horse) : site2HorsePage(horse));
    }
    return pages;
}

std::vector<SampleTrackKey> sampleTrackKeys()
{
    std::vector<SampleTrackKey> keys;
    for (int s = 0; s < kPoolSize; ++s) {
        const PoolRace p = poolRace(s);
        keys.push_back({p.daysBefore, p.course, p.surface, p.distance, averageTime(p.distance, p.surface)});
    }
    for (int days : {0, 419, 420})
        keys.push_back({days, 5, 1, 2000, averageTime(2000, 1)});
    return keys;
}

}  // namespace marunoki::test
