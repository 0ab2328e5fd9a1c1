#include "driver/page_sources.h"

namespace marunoki {

namespace {

std::unique_ptr<NetworkPageSource> networkOf(
    const PageSourceChoice &choice, const Settings &settings, MessageSink &messages)
{
    auto network = std::make_unique<NetworkPageSource>();
    network->setRate(settings.requestRate);
    network->setNotices(&messages);
    if (choice.maxInFlight)
        network->setMaxInFlight(*choice.maxInFlight);
    if (choice.timeLimitMs)
        network->setTimeLimitMs(*choice.timeLimitMs);
    return network;
}

}  // namespace

PageSources makePageSources(const PageSourceChoice &choice, const AppFolder &folder, const Settings &settings,
    MessageSink &messages, const FileSystem &files)
{
    PageSources s;
    const bool offline = !choice.offlineFolder.isEmpty();
    if (offline) {
        s.archive = std::make_unique<PageArchive>(choice.offlineFolder, files);
        s.inner = std::make_unique<OfflinePageSource>(*s.archive);
        s.source = s.inner.get();
        if (!choice.cacheOffline)
            return s;
    } else {
        s.inner = networkOf(choice, settings, messages);
    }
    // The archive sees every page of the load, from the cache or not.
    s.cached = withPageCache(*s.inner, folder, settings.cache, choice.refresh, messages);
    s.source = s.cached.source;
    if (!offline && !choice.archiveFolder.isEmpty()) {
        s.archive = std::make_unique<PageArchive>(choice.archiveFolder, files);
        s.archiving = std::make_unique<ArchivingPageSource>(*s.source, *s.archive, messages);
        s.source = s.archiving.get();
    }
    return s;
}

}  // namespace marunoki
