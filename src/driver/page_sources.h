#pragma once
// Where a load's pages come from, chosen in one place for the command line's
// load and day and for the desktop window: the network behind the page cache
// (with every page also kept in an archive folder when asked), or an archive
// folder alone when offline.

#include "app/atomic_file.h"
#include "app/common.h"
#include "app/settings_values.h"
#include "driver/page_cache_setup.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"

#include <QString>

#include <memory>
#include <optional>

namespace marunoki {

class MessageSink;

// What the caller asks for.
struct PageSourceChoice {
    // Not empty: pages are read from this archive folder, never the network.
    QString offlineFolder;
    // Not empty (and not offline): every page loaded is also written here.
    QString archiveFolder;
    // The page cache also in front of the offline archive (the window keeps
    // it there; the command line reads an offline folder as it is).
    bool cacheOffline = false;
    // The cache is written but not read (one load of fresh pages).
    bool refresh = false;
    // The network's limits; nothing keeps the network source's own.
    std::optional<int> maxInFlight;
    std::optional<int> timeLimitMs;
};

// The chosen source and whatever it needs kept alive; `source` is what a load
// reads through. Members go in reverse order, so every wrapper goes before
// what it wraps.
struct PageSources {
    std::unique_ptr<PageArchive> archive;
    std::unique_ptr<PageSource> inner;  // the network or the offline archive
    CachedSource cached;
    std::unique_ptr<ArchivingPageSource> archiving;
    PageSource *source = nullptr;
};

// The page sources of choice, with the cache of folder as settings describe
// it and the network at the settings' request rate. Cache and archive troubles,
// and a site's asking the network to wait, are said to messages (which must
// outlive the sources); `files` writes the archived pages.
PageSources makePageSources(const PageSourceChoice &choice, const AppFolder &folder, const Settings &settings,
    MessageSink &messages, const FileSystem &files = systemFileSystem());

}  // namespace marunoki
