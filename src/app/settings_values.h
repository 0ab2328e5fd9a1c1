#pragma once
// The values of the user's settings as one plain struct: what the views draw
// with and what the settings file holds. Reading and writing the file is the
// settings library's business (settings/settings.h); the views only read these
// values, so the struct sits at the bottom where both reach it.

#include "app/reading_site.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace marunoki {

constexpr int kGraphOverlayCount = 7;

// The graph's overlays by their switch's number in the settings file
// ("iniGraph(0)".."iniGraph(6)").
enum class Overlay : int {
    BodyWeight = 0,
    Bracket = 1,
    Distance = 2,
    Going = 3,
    FirstCorner = 4,
    Finish = 5,
    LastFurlongs = 6,
};

// The page cache of section "cache": how many hours each kind of page stays
// fresh (0 = the cache is not used for it) and how many megabytes the folder
// may hold. Keys cardHours, horseHours, calendarHours, sizeMB.
struct CacheSettings {
    double cardHours = 1;
    double horseHours = 6;
    double calendarHours = 1;
    double sizeMegabytes = 500;
};

// Requests started per second on the network when the settings say nothing
// (section "web", key "rate"): about what one person reading the site in a few
// browser tabs asks of it, and still fast enough for a race in a few seconds.
constexpr double kDefaultRequestRate = 4;

// The values as read; the start state (before any reading) is empty texts and 0.
struct Settings {
    // Overlay switches 0..6 (body weight, bracket, distance, going, first corner,
    // finishing position, last-three-furlong figures); an overlay is drawn only
    // when its text is exactly "true".
    std::array<QString, kGraphOverlayCount> iniGraph;
    // The text of key "writeHyo" as read.
    QString writeHyo;
    // The table check box state taken from "writeHyo" (0 off, 1 on, 2 grey);
    // nothing when the reading stopped before the box was set, so the box keeps
    // its design state.
    std::optional<qint32> tableCheck;
    // Share of all figures above the reference line, 0..1.
    float kakeritu = 0;
    // Which site's readers a race load uses (the file's "サイト1" or "サイト2").
    ReadingSite site = ReadingSite::None;
    // The site setting's text when it names neither site (empty, or a slip
    // typed in the options dialog): named in messages and written back as it was.
    QString otherSite;
    // Base addresses of Site 1 and Site 2 (section "web"); empty when not set.
    QString site1Base;
    QString site2Base;
    // Requests started per second by every network page source (section "web",
    // key "rate"); 0 is no limit.
    double requestRate = kDefaultRequestRate;
    CacheSettings cache;
    // When the reading stopped at a value it could not use ("kakeritu" or
    // "writeHyo" not a number, or out of its range): the key and its text as
    // read; an empty key when it read every setting. The settings after it keep
    // their start values (the site stays unset).
    QString stoppedKey;
    QString stoppedValue;
    // Section "journal", key "keep": every analysed race is recorded in the
    // journal unless the key is "0".
    bool keepJournal = true;
};

// Whether the overlay is switched on: its text is exactly "true".
inline bool overlayOn(const std::array<QString, kGraphOverlayCount> &iniGraph, Overlay overlay)
{
    return iniGraph[static_cast<size_t>(overlay)] == QStringLiteral("true");
}

// Whether the overlay's switch holds any text at all ("false" included): the
// legend explains every overlay the user could switch on.
inline bool overlayStored(const std::array<QString, kGraphOverlayCount> &iniGraph, Overlay overlay)
{
    return !iniGraph[static_cast<size_t>(overlay)].isEmpty();
}

}  // namespace marunoki
