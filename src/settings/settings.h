#pragma once
// The user's settings and the settings file "marunoki.ini" beside the program:
// graph overlays, the reference-line share, the per-run table switch, the web
// site to read races from, and the base addresses of the two sites.
//
// The settings are read once at start (readIniPara) and written back key by key
// by whoever changes one (the options dialog, the table check box, the track-data
// update). Nothing here is global: the caller keeps the Settings value.

#include "app/common.h"
#include "app/message_sink.h"
#include "settings/ini_file.h"

#include <QString>

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
    // "サイト1" or "サイト2": which site's readers a race load uses.
    QString site;
    // Base addresses of Site 1 and Site 2 (section "web"); empty when not set.
    QString site1Base;
    QString site2Base;
    CacheSettings cache;
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

// "marunoki.ini" in the application folder.
QString settingsFile(const AppFolder &folder);

// What the user is told when the settings file exists but cannot be read:
// the path and the cause (IniFile::problem()).
QString unreadableSettingsMessage(const QString &path, const IniFile &ini);

// Reads every setting, in the order the program always has: "iniGraph(0)" to
// "iniGraph(6)", "writeHyo", "kakeritu", the table check box, "site". A
// "kakeritu" or "writeHyo" that is not a usable number shows
// "ini読込みエラー(err-AE02)" and stops the reading there: later settings keep
// their start values. The site base addresses and the cache settings are read
// in any case; a cache value that is no number of hours (or megabytes) from 0
// up is reported once ("キャッシュの設定 ... が正しくありません") and keeps its
// default. A file that exists but cannot be read is reported first
// (unreadableSettingsMessage) and every setting takes its default.
Settings readIniPara(const AppFolder &folder, MessageSink &sink);

// Writers, one key each; a failure comes back as a value and changes nothing.
Status writeGraphOverlay(const AppFolder &folder, int index, const QString &value);
Status writeWriteHyo(const AppFolder &folder, qint32 checkState);
// Written as the shortest text of the single-precision value (0.3, 0.35).
Status writeKakeritu(const AppFolder &folder, float kakeritu);
Status writeSite(const AppFolder &folder, const QString &site);

// The start folder of the track-data update (section "file", key "babadir"),
// "C:\" when not set, and its writer.
QString readBabadir(const AppFolder &folder);
Status writeBabadir(const AppFolder &folder, const QString &babadir);

}  // namespace marunoki
