#pragma once
// The user's settings and the settings file "marunoki.ini" beside the program:
// graph overlays, the reference-line share, the per-run table switch, the web
// site to read races from, and the base addresses of the two sites.
//
// The settings are read once at start (readSettings) and written back key by key
// by whoever changes one (the options dialog, the table check box, the track-data
// update). Nothing here is global: the caller keeps the Settings value.

#include "app/atomic_file.h"
#include "app/common.h"
#include "app/message_sink.h"
#include "app/settings_values.h"
#include "settings/ini_file.h"

#include <QString>

namespace marunoki {

// "marunoki.ini" in the application folder.
QString settingsFile(const AppFolder &folder);

// What the user is told when the settings file exists but cannot be read:
// the path and the cause (IniFile::problem()).
QString unreadableSettingsMessage(const QString &path, const IniFile &ini);

// Reads every setting, in the order the program always has: "iniGraph(0)" to
// "iniGraph(6)", "writeHyo", "kakeritu", the table check box, "site". A
// "kakeritu" or "writeHyo" that is not a usable number shows
// "ini読込みエラー(err-AE02)" and stops the reading there: later settings keep
// their start values, and Settings::stoppedKey/stoppedValue name the key and
// its text (the command line refuses to go on with them). The site base addresses, the request rate and the
// cache settings are read in any case; a rate that is no number from 0 up is reported once and keeps its
// default; a cache value that is no number of hours (or megabytes) from 0 up is reported once
// ("キャッシュの設定 ... が正しくありません") and keeps its default. A file that exists but cannot be read is
// reported first (unreadableSettingsMessage) and every setting takes its default.
Settings readSettings(const AppFolder &folder, MessageSink &sink);

// Writers, one key each; a failure comes back as a value and changes nothing.
Status writeGraphOverlay(const AppFolder &folder, int index, const QString &value);
// The table check box's state, key "writeHyo".
Status writeTableCheck(const AppFolder &folder, qint32 checkState);
// Written as the shortest text of the single-precision value (0.3, 0.35).
Status writeKakeritu(const AppFolder &folder, float kakeritu);
Status writeSite(const AppFolder &folder, const QString &site);

// The first start in the per-user folder: makes the folder when it is missing
// and writes a default settings file when it has none (reading site 1, no site
// addresses yet). A file already there is left as it is. Says why not (the
// folder or the file cannot be written) in the Status.
Status prepareUserFolder(const AppFolder &folder, const FileSystem &files = systemFileSystem());

// The start folder of the track-data update (section "file", key "babadir"),
// "C:\" when not set, and its writer.
QString readTrackDataFolder(const AppFolder &folder);
Status writeTrackDataFolder(const AppFolder &folder, const QString &path);

}  // namespace marunoki
