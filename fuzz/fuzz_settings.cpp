// Fuzz target: the settings file "marunoki.ini" as arbitrary bytes.
//
// Reads it the way the program does at start (readSettings, every profile-string
// read), then checks the promises of a rewrite: after setting a key, the rewritten
// file reads that key back as set, every other key reads as before, and writing
// the same value again changes no byte.

#include "fuzz_check.h"

#include "app/common.h"
#include "app/message_sink.h"
#include "settings/ini_file.h"
#include "settings/settings.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cstdint>

namespace {

using namespace marunoki;
using fuzz::check;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "temporary file opens");
    check(file.write(bytes) == bytes.size(), "temporary file written");
}

IniFile reread(const QString &path, const QByteArray &bytes)
{
    writeFile(path, bytes);
    return IniFile::read(path);
}

struct Key {
    const char *section;
    const char *key;
};

// The keys the program reads, and a few spellings the reader must treat alike.
constexpr Key kKeys[] = {
    {"graph", "iniGraph(0)"},
    {"graph", "iniGraph(6)"},
    {"graph", "writeHyo"},
    {"graph", "kakeritu"},
    {"site", "site"},
    {"web", "site1"},
    {"WEB", "SITE2"},
    {"file", "babadir"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    const AppFolder folder(dir.path());
    const QString path = settingsFile(folder);
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    writeFile(path, bytes);

    RecordingSink sink;
    const Settings settings = readSettings(folder, sink);
    (void)settings;

    IniFile ini = IniFile::read(path);
    // A UTF-16 file is refused whole, never read as another encoding and
    // written back over the user's file.
    // A file with zero bytes may be UTF-16 without a mark (text in CP932 or
    // UTF-8 has none), and may be refused as such; one without reads.
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    const bool mayBeUtf16 = utf16 || bytes.contains('\0');
    if (utf16)
        check(ini.state() == IniFile::State::Unreadable, "a UTF-16 file with its mark is refused");
    else if (!mayBeUtf16)
        check(ini.state() == IniFile::State::Read, "a small regular file without zero bytes reads");
    if (ini.state() == IniFile::State::Unreadable) {
        check(!ini.problem().isEmpty(), "a refused file says why");
        return 0;
    }
    // Invalid UTF-8 comes back changed (each bad sequence becomes U+FFFD).
    const bool validUtf8 = QString::fromUtf8(bytes).toUtf8() == bytes;
    for (const Key &k : kKeys) {
        const QString value = ini.profileString(k.section, k.key, QStringLiteral("default"));
        check(value.size() <= 255, "a profile string fits the 256-character buffer");
    }

    // A file of mixed bytes (neither valid UTF-8 nor Shift_JIS throughout) is
    // read line by line as well as it can be, and a rewritten line may settle
    // it either way; the rewrite promises below hold for files decoded whole.
    QStringDecoder sjisDecoder("Shift_JIS");
    const QString sjisText = sjisDecoder.decode(bytes);
    QStringEncoder sjisEncoder("Shift_JIS");
    const QByteArray sjisBack = sjisEncoder.encode(sjisText);
    if (!validUtf8 && (sjisDecoder.hasError() || sjisBack != bytes))
        return 0;
    // A file with zero bytes stands near the test for UTF-16 without a mark (a
    // share of zeros in one parity); a rewrite that shortens or lengthens its
    // text can move it across, so the promises below are for text files.
    if (bytes.contains('\0'))
        return 0;

    // A rewrite of one key: the key reads back, no other key changes.
    const QString newValue = QStringLiteral("マルノキ1");
    for (const Key &target : {kKeys[3], kKeys[5]}) {
        IniFile changed = ini;
        if (!changed.setValue(target.section, target.key, newValue).ok())
            continue;  // e.g. a file whose encoding cannot hold the value
        const IniFile back = reread(path, changed.bytes());
        check(back.encoding() == ini.encoding(), "the rewrite keeps the encoding");
        check(back.value(target.section, target.key) == newValue, "the key reads back as set");
        for (const Key &other : kKeys) {
            if (QString::compare(other.section, target.section, Qt::CaseInsensitive) == 0
                && QString::compare(other.key, target.key, Qt::CaseInsensitive) == 0)
                continue;
            check(back.value(other.section, other.key) == ini.value(other.section, other.key),
                "other keys keep their values");
        }
        IniFile again = back;
        check(again.setValue(target.section, target.key, newValue).ok(), "the same value can be set again");
        check(again.bytes() == changed.bytes(), "setting the same value again changes no byte");
    }

    // The file-level writer on the same input.
    writeFile(path, bytes);
    (void)writeSite(folder, QStringLiteral("サイト2"));
    (void)readTrackDataFolder(folder);
    return 0;
}
