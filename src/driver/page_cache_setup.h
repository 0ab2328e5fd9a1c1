#pragma once
// The page cache of the application folder ("cache/") as the settings describe
// it, put in front of a page source by both programs.

#include "app/common.h"
#include "app/settings_values.h"
#include "driver/race_selection.h"
#include "web/page_cache.h"

#include <QList>

#include <memory>

namespace marunoki {

class MessageSink;

// "cache" in the application folder.
QString cacheFolder(const AppFolder &folder);

// The ages in seconds and the limit in bytes of the settings' hours and megabytes.
CachePolicy cachePolicyOf(const CacheSettings &settings);

// The cache and the source in front of inner; `source` is what a load uses.
struct CachedSource {
    std::unique_ptr<PageCache> cache;
    std::unique_ptr<CachingPageSource> caching;
    PageSource *source = nullptr;
};

// The race numbers of the day (1..12) whose cards the cache of the folder
// answers now, so that loading them needs no network.
QList<int> racesInCache(const RaceSelection &day, const Settings &settings, const AppFolder &folder);

// With refresh the cache is written but not read (one load of fresh pages).
CachedSource withPageCache(PageSource &inner, const AppFolder &folder, const CacheSettings &settings,
    bool refresh, MessageSink &messages);

}  // namespace marunoki
