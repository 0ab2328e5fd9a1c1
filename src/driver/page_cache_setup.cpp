#include "driver/page_cache_setup.h"

#include <cmath>

namespace marunoki {

namespace {

qint64 seconds(double hours)
{
    return qint64(std::llround(hours * 3600));
}

}  // namespace

QString cacheFolder(const AppFolder &folder)
{
    return folder.file(QStringLiteral("cache"));
}

CachePolicy cachePolicyOf(const CacheSettings &settings)
{
    CachePolicy policy;
    policy.cardMaxAge = seconds(settings.cardHours);
    policy.horseMaxAge = seconds(settings.horseHours);
    policy.calendarMaxAge = seconds(settings.calendarHours);
    policy.sizeLimitBytes = qint64(std::llround(settings.sizeMegabytes * 1024 * 1024));
    return policy;
}

QList<int> racesInCache(const RaceSelection &day, const Settings &settings, const AppFolder &folder)
{
    QList<int> races;
    if (day.site == ReadingSite::None)
        return races;
    const CachePolicy policy = cachePolicyOf(settings.cache);
    const PageCache cache(cacheFolder(folder), policy.sizeLimitBytes);
    for (int race = 1; race <= 12; ++race) {
        RaceSelection one = day;
        one.race = QStringLiteral("%1").arg(race, 2, 10, QLatin1Char('0'));
        const QString card = day.site == ReadingSite::One ? site1CardUrl(settings.site1Base, one)
                                                          : site2CardUrl(settings.site2Base, one);
        if (cache.lookup(card, policy.cardMaxAge))
            races.append(race);
    }
    return races;
}

CachedSource withPageCache(PageSource &inner, const AppFolder &folder, const CacheSettings &settings,
    bool refresh, MessageSink &messages)
{
    CachedSource s;
    const CachePolicy policy = cachePolicyOf(settings);
    s.cache = std::make_unique<PageCache>(cacheFolder(folder), policy.sizeLimitBytes);
    s.caching = std::make_unique<CachingPageSource>(inner, *s.cache, policy, refresh, messages);
    s.source = s.caching.get();
    return s;
}

}  // namespace marunoki
