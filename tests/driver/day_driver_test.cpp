#include "driver/day_driver.h"

#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/load_driver.h"
#include "driver/page_cache_setup.h"
#include "output/race_json.h"
#include "web/network_page_source.h"

#include "support/fake_page_source.h"
#include "support/fixture_databases.h"
#include "support/sample_race.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <map>

namespace marunoki {
namespace {

using test::SampleRace;

const QString kBase1 = QStringLiteral("http://one.test");
const QString kBase2 = QStringLiteral("http://two.test");

// What the day showed of each race.
class Recorder : public DayObserver {
public:
    std::function<void(int race)> onStart;
    std::function<void(int race)> onFinish;
    std::map<int, QByteArray> json;  // of the races analysed
    std::vector<DayRace> outcomes;
    QStringList progress;

    void raceStarting(int race, int k, int count) override
    {
        progress.append(QStringLiteral("%1 %2/%3").arg(race).arg(k).arg(count));
        if (onStart)
            onStart(race);
    }
    void raceFinished(const DayRace &outcome, RaceStore &store, int, int) override
    {
        outcomes.push_back(outcome);
        if (outcome.analysed)
            json[outcome.race] = raceStoreJson(store);
        if (onFinish)
            onFinish(outcome.race);
    }
};

class DayDriver : public ::testing::TestWithParam<int> {
protected:
    DayDriver()
        : folder(temp.path())
    {
        test::writeSampleTrackDb(temp.file(QStringLiteral("marunoki.dat")));
        settings.kakeritu = 0.3f;
        settings.site1Base = kBase1;
        settings.site2Base = kBase2;
        for (int r = 1; r <= 5; ++r) {
            test::SampleRaceOptions options;
            options.race = r;
            options.runners = 3 + r % 3;
            races[r] = test::makeSampleRace(options);
        }
    }

    int site() const { return GetParam(); }
    QString base() const { return site() == 1 ? kBase1 : kBase2; }
    QString card(int r) const { return test::sampleCardAddress(races.at(r), site(), base()); }

    // A source with every page of races 1..5 except the cards of `missing`.
    void fill(test::FakePageSource &source, std::initializer_list<int> missing = {}) const
    {
        for (const auto &[r, race] : races) {
            const QMap<QString, QString> pages = test::samplePages(race, site(), base());
            for (auto page = pages.begin(); page != pages.end(); ++page) {
                if (page.key() == card(r) && std::find(missing.begin(), missing.end(), r) != missing.end())
                    continue;
                source.setPage(page.key(), page.value());
            }
        }
    }

    DaySelection day(int first = 1, int last = 5) const
    {
        return {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"), QStringLiteral("09"),
            site() == 1 ? ReadingSite::One : ReadingSite::Two, first, last};
    }

    DayResult run(test::FakePageSource &source, Recorder &recorder, const std::atomic<bool> &stop)
    {
        DayContext context {store, settings, folder, source, progress, messages, stop};
        return runDay(day(), context, recorder);
    }

    test::TestFolder temp;
    AppFolder folder;
    Settings settings;
    std::map<int, SampleRace> races;
    RaceStore store;
    test::RecordingProgress progress;
    RecordingSink messages;
};

TEST_P(DayDriver, EachRaceIsExactlyWhatASingleLoadOfItGives)
{
    test::FakePageSource source;
    fill(source);
    Recorder recorder;
    const std::atomic<bool> stop {false};
    const DayResult result = run(source, recorder, stop);
    ASSERT_EQ(result.analysedCount(), 5);
    EXPECT_FALSE(result.stopped);
    for (int r = 1; r <= 5; ++r) {
        RaceStore single;
        test::FakePageSource alone;
        fill(alone);
        test::RecordingProgress p;
        RecordingSink m;
        LoadContext context {single, settings, folder, alone, p, m};
        ASSERT_TRUE(runLoad(day().race(r), context).analysed) << r;
        EXPECT_EQ(recorder.json[r], raceStoreJson(single)) << "race " << r;
    }
    // Every card was asked of the network once, the next one by the look-ahead.
    const QStringList fetched = source.fetched();
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(fetched.count(card(r)), 1) << r;
}

TEST_P(DayDriver, TheNextRacesPagesAreAskedForBeforeItsLoadBegins)
{
    test::FakePageSource source;
    fill(source);
    Recorder recorder;
    QStringList missingAtStart;
    recorder.onStart = [&](int race) {
        if (race == 1)
            return;
        const QStringList fetched = source.fetched();
        const QStringList prefetched = source.prefetched();
        if (!fetched.contains(card(race)))
            missingAtStart.append(card(race));
        for (int n = 1; n <= int(races.at(race).horses.size()); ++n) {
            const QString horse = test::sampleHorseAddress(races.at(race), site(), base(), n);
            if (!prefetched.contains(horse))
                missingAtStart.append(horse);
        }
    };
    const std::atomic<bool> stop {false};
    const DayResult result = run(source, recorder, stop);
    EXPECT_EQ(result.analysedCount(), 5);
    EXPECT_TRUE(missingAtStart.isEmpty()) << missingAtStart.join(u' ').toStdString();
    EXPECT_EQ(recorder.progress, QStringList({"1 1/5", "2 2/5", "3 3/5", "4 4/5", "5 5/5"}));
}

TEST_P(DayDriver, AMissingRaceIsOneLineAndTheDayGoesOn)
{
    const struct {
        const char *what;
        std::initializer_list<int> missing;
        int analysed;
    } cases[] = {
        {"in the middle", {3}, 4},
        {"the first and the last", {1, 5}, 3},
        {"every race", {1, 2, 3, 4, 5}, 0},
    };
    for (const auto &c : cases) {
        test::FakePageSource source;
        fill(source, c.missing);
        Recorder recorder;
        const std::atomic<bool> stop {false};
        const DayResult result = run(source, recorder, stop);
        EXPECT_EQ(result.analysedCount(), c.analysed) << c.what;
        EXPECT_FALSE(result.stopped) << c.what;
        ASSERT_EQ(result.races.size(), 5u) << c.what;
        for (const DayRace &race : result.races) {
            const bool missing = std::find(c.missing.begin(), c.missing.end(), race.race) != c.missing.end();
            EXPECT_EQ(race.analysed, !missing) << c.what << " race " << race.race;
            if (missing) {
                EXPECT_TRUE(race.reason.contains(QStringLiteral("出馬表が正常に読み込めません"))) << c.what;
                EXPECT_FALSE(race.reason.contains(u'\n')) << c.what;
            } else {
                EXPECT_TRUE(race.reason.isEmpty()) << c.what;
            }
        }
        // A missing race's messages are in its line, not shown again.
        EXPECT_TRUE(messages.messages().isEmpty()) << c.what;
    }
}

TEST_P(DayDriver, AStopEndsTheDayAfterTheRaceInProgress)
{
    enum class How { DayFlagAfterRace2, CancelFlagAfterRace2, CancelFlagDuringRace3 };
    const struct {
        const char *what;
        How how;
        int begun;
        int analysed;
    } cases[] = {
        {"the day's flag between races", How::DayFlagAfterRace2, 2, 2},
        {"Ctrl-C during race 2's analysis", How::CancelFlagAfterRace2, 2, 2},
        {"the stop button during race 3", How::CancelFlagDuringRace3, 3, 2},
    };
    for (const auto &c : cases) {
        test::FakePageSource source;
        fill(source);
        Recorder recorder;
        std::atomic<bool> stop {false};
        recorder.onFinish = [&](int race) {
            if (race != 2)
                return;
            if (c.how == How::DayFlagAfterRace2)
                stop = true;
            if (c.how == How::CancelFlagAfterRace2)
                store.cancelFlag = -1;
        };
        const QString race3Horse = test::sampleHorseAddress(races.at(3), site(), base(), 2);
        source.onFetch = [&](const QString &url) {
            if (c.how == How::CancelFlagDuringRace3 && url == race3Horse)
                store.cancelFlag = -1;
        };
        const DayResult result = run(source, recorder, stop);
        EXPECT_TRUE(result.stopped) << c.what;
        EXPECT_EQ(int(result.races.size()), c.begun) << c.what;
        EXPECT_EQ(result.analysedCount(), c.analysed) << c.what;
        // Nothing beyond the next race was asked for.
        EXPECT_FALSE(source.fetched().contains(card(5))) << c.what;
        store.cancelFlag = 0;
    }
}

TEST_P(DayDriver, AfterADayThroughTheCacheItsRacesAreMarkedAndLoadWithoutTheSite)
{
    // Pages as a site serves them (bytes and charset), so that the cache keeps them.
    test::FakePageSource site;
    for (const auto &[r, race] : races) {
        if (r == 3)
            continue;  // not on the site
        const QMap<QString, QString> pages = test::samplePages(race, this->site(), base());
        for (auto page = pages.begin(); page != pages.end(); ++page)
            site.setResult(page.key(), pageFromBytes(test::samplePageBytes(page.value()), "UTF-8"));
    }
    RaceSelection chosen = day().race(1);
    EXPECT_TRUE(racesInCache(chosen, settings, folder).isEmpty());
    {
        CachedSource cached = withPageCache(site, folder, settings.cache, false, messages);
        Recorder recorder;
        const std::atomic<bool> stop {false};
        DayContext context {store, settings, folder, *cached.source, progress, messages, stop};
        EXPECT_EQ(runDay(day(), context, recorder).analysedCount(), 4);
    }
    EXPECT_EQ(racesInCache(chosen, settings, folder), QList<int>({1, 2, 4, 5}));

    // Race 4 again: every page from the cache, nothing from the site.
    const int fetched = int(site.fetched().size());
    CachedSource cached = withPageCache(site, folder, settings.cache, false, messages);
    RaceStore again;
    LoadContext context {again, settings, folder, *cached.source, progress, messages};
    EXPECT_TRUE(runLoad(day().race(4), context).analysed);
    EXPECT_EQ(int(site.fetched().size()), fetched);
}

INSTANTIATE_TEST_SUITE_P(BothSites, DayDriver, ::testing::Values(1, 2));

}  // namespace
}  // namespace marunoki
