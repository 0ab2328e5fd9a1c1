#pragma once
// The page cache of the application folder ("cache/") as the settings describe
// it, put in front of a page source by both programs.

#include "app/common.h"
#include "settings/settings.h"
#include "web/page_cache.h"

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

// With refresh the cache is written but not read (one load of fresh pages).
CachedSource withPageCache(PageSource &inner, const AppFolder &folder, const CacheSettings &settings,
    bool refresh, MessageSink &messages);

}  // namespace marunoki
