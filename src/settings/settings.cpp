#include "settings/settings.h"

#include "app/format.h"

#include <QDir>
#include <QFileInfo>

namespace marunoki {

namespace {

const QString kGraph = QStringLiteral("graph");
const QString kErrorAE02 = QStringLiteral("ini読込みエラー(err-AE02)");

QString overlayKey(int index)
{
    return QStringLiteral("iniGraph(%1)").arg(index);
}

// The share as stored; nothing for a text that is not a number or a share
// outside 0..1 (the reference line would fall outside the list of figures).
std::optional<float> shareOf(const QString &text)
{
    const auto number = toNumber(text);
    if (!number)
        return std::nullopt;
    const auto share = static_cast<float>(*number);
    if (!(share >= 0.0f && share <= 1.0f))
        return std::nullopt;
    return share;
}

// A check box holds 0 (off), 1 (on) or 2 (grey); any other number is refused.
std::optional<qint32> checkStateOf(const QString &text)
{
    const auto state = toWholeNumber(text);
    if (!state || *state < 0 || *state > 2)
        return std::nullopt;
    return state;
}

// Section "cache": each value a number from 0 up, or its default.
CacheSettings readCacheSettings(const IniFile &ini, MessageSink &sink)
{
    CacheSettings cache;
    const QString section = QStringLiteral("cache");
    const std::pair<const char *, double *> keys[]
        = {{"cardHours", &cache.cardHours}, {"horseHours", &cache.horseHours},
            {"calendarHours", &cache.calendarHours}, {"sizeMB", &cache.sizeMegabytes}};
    QStringList bad;
    for (const auto &[key, value] : keys) {
        const QString text = ini.profileString(section, QLatin1String(key), QString());
        if (text.isEmpty())
            continue;
        const auto number = toNumber(text);
        if (!number || !(*number >= 0) || *number > 1e6)
            bad.append(QLatin1String(key) + u'=' + text);
        else
            *value = *number;
    }
    if (!bad.isEmpty())
        sink.message(
            QStringLiteral("キャッシュの設定 %1 が正しくありません（既定値を使います）").arg(bad.join(u' ')));
    return cache;
}

// Section "web", key "rate": requests a second from 0 (no limit) up, or the
// default, said once.
double readRequestRate(const IniFile &ini, MessageSink &sink)
{
    const QString text = ini.profileString(QStringLiteral("web"), QStringLiteral("rate"), QString());
    if (text.isEmpty())
        return kDefaultRequestRate;
    const auto rate = toNumber(text);
    if (!rate || !(*rate >= 0) || *rate > 1000) {
        sink.message(QStringLiteral(
            "通信の設定 rate=%1 が正しくありません（0 以上の 1 秒あたりの数。既定値 %2 を使います）")
                         .arg(text)
                         .arg(kDefaultRequestRate));
        return kDefaultRequestRate;
    }
    return *rate;
}

}  // namespace

QString unreadableSettingsMessage(const QString &path, const IniFile &ini)
{
    return QStringLiteral("設定ファイル %1 が読めません（%2）。既定の設定で続けます")
        .arg(path, ini.problem());
}

QString settingsFile(const AppFolder &folder)
{
    return folder.file(QStringLiteral("marunoki.ini"));
}

Settings readSettings(const AppFolder &folder, MessageSink &sink)
{
    // One read of the file serves every key: nothing writes it in between.
    const IniFile ini = IniFile::read(settingsFile(folder));
    // Every setting then takes its default: say why, or the user would only see
    // the defaults and blame a missing key.
    if (ini.state() == IniFile::State::Unreadable)
        sink.message(unreadableSettingsMessage(settingsFile(folder), ini));
    Settings settings;
    settings.site1Base = ini.profileString(QStringLiteral("web"), QStringLiteral("site1"), QString());
    settings.site2Base = ini.profileString(QStringLiteral("web"), QStringLiteral("site2"), QString());
    settings.requestRate = readRequestRate(ini, sink);
    settings.cache = readCacheSettings(ini, sink);
    settings.keepJournal
        = ini.profileString(QStringLiteral("journal"), QStringLiteral("keep"), QStringLiteral("1")).trimmed()
        != QStringLiteral("0");

    for (int i = 0; i < kGraphOverlayCount; ++i)
        settings.iniGraph[static_cast<size_t>(i)]
            = ini.profileString(kGraph, overlayKey(i), QStringLiteral("true"));
    settings.writeHyo = ini.profileString(kGraph, QStringLiteral("writeHyo"), QStringLiteral("1"));
    const auto stopAt = [&](const QString &key, const QString &value) {
        sink.message(kErrorAE02);
        settings.stoppedKey = key;
        settings.stoppedValue = value;
        return settings;
    };
    const QString shareText = ini.profileString(kGraph, QStringLiteral("kakeritu"), QStringLiteral("0.3"));
    const auto share = shareOf(shareText);
    if (!share)
        return stopAt(QStringLiteral("kakeritu"), shareText);
    settings.kakeritu = *share;
    settings.tableCheck = checkStateOf(settings.writeHyo);
    if (!settings.tableCheck)
        return stopAt(QStringLiteral("writeHyo"), settings.writeHyo);
    const QString site = ini.profileString(QStringLiteral("site"), QStringLiteral("site"), kSite1);
    settings.site = readingSiteOf(site);
    if (settings.site == ReadingSite::None)
        settings.otherSite = site;
    return settings;
}

Status writeGraphOverlay(const AppFolder &folder, int index, const QString &value)
{
    if (index < 0 || index >= kGraphOverlayCount)
        return Status::failure(QStringLiteral("グラフ設定の番号が不正です: ") + QString::number(index));
    return writeProfileString(kGraph, overlayKey(index), value, settingsFile(folder));
}

Status writeTableCheck(const AppFolder &folder, qint32 checkState)
{
    return writeProfileString(
        kGraph, QStringLiteral("writeHyo"), QString::number(checkState), settingsFile(folder));
}

Status writeKakeritu(const AppFolder &folder, float kakeritu)
{
    return writeProfileString(
        kGraph, QStringLiteral("kakeritu"), plainNumber(kakeritu), settingsFile(folder));
}

Status writeSite(const AppFolder &folder, const QString &site)
{
    return writeProfileString(QStringLiteral("site"), QStringLiteral("site"), site, settingsFile(folder));
}

QString readTrackDataFolder(const AppFolder &folder)
{
    return readIni(
        QStringLiteral("file"), QStringLiteral("babadir"), QStringLiteral("C:\\"), settingsFile(folder));
}

Status writeTrackDataFolder(const AppFolder &folder, const QString &path)
{
    return writeProfileString(QStringLiteral("file"), QStringLiteral("babadir"), path, settingsFile(folder));
}

Status prepareUserFolder(const AppFolder &folder, const FileSystem &files)
{
    if (!QDir().mkpath(folder.path()))
        return Status::failure(QStringLiteral("フォルダ %1 を作れません").arg(folder.path()));
    const QString path = settingsFile(folder);
    if (QFileInfo::exists(path))
        return Status::success();
    // The keys a user fills in first, with what they are for; everything else
    // takes its default until the options dialog writes it.
    const QString text = QStringLiteral("; Marunoki の設定（初めての起動で作成）\r\n"
                                        "; 読込みサイト（サイト1 か サイト2）\r\n"
                                        "[site]\r\n"
                                        "site=%1\r\n"
                                        "; 各サイトのアドレス（例: site1=https://www.example.jp）\r\n"
                                        "[web]\r\n"
                                        "site1=\r\n"
                                        "site2=\r\n"
                                        "; 1 秒間に送る要求の数の上限（0 は制限なし）\r\n"
                                        "rate=%2\r\n")
                             .arg(kSite1)
                             .arg(kDefaultRequestRate);
    return writeFileAtomically(path, text.toUtf8(), files);
}

}  // namespace marunoki
