#pragma once
// The settings file format: Windows profile strings ("[section]" lines and
// "key=value" lines), read and rewritten by our own code so that a file written
// by the Windows program reads the same here and the other way round.
//
// NOTES ON THE DESIGN
// - Sections and keys compare case-insensitively; the first matching section and
//   the first matching key in it count. Values lose surrounding blanks and one
//   pair of enclosing quotes ('...' or "..."). Lines starting with ';' are
//   comments; lines before the first section belong to no section.
// - Encoding: a file with a UTF-8 byte-order mark, or valid UTF-8 holding any
//   non-ASCII text, is UTF-8; a file that is not valid UTF-8 but well-formed
//   in the Windows Japanese code page (CP932, Shift_JIS) is CP932. A file that
//   is neither (a UTF-8 file with one stray Latin-1 byte, say) is decoded line
//   by line: a line of valid UTF-8 as UTF-8, any other as CP932, so one bad
//   comment never garbles the settings around it; new lines of such a file are
//   UTF-8 when it has UTF-8 lines. A new file, or one of plain ASCII, is
//   written in CP932: the Windows program reads its settings through the ANSI
//   profile calls, so the file stays readable by both programs.
// - A file that cannot be read (a folder, a pipe, more than 4 MB, UTF-16, no
//   permission) is Unreadable and problem() says why in words for the user.
// - A rewrite keeps every line it does not change byte for byte (also lines that
//   do not decode), the byte-order mark and the line-ending style, and replaces
//   the file atomically (temporary file + rename): a failure leaves the old file
//   whole. A file that exists but cannot be read is never rewritten.
// - Not thread-safe; each call reads the file afresh, as the profile calls do.

#include "app/atomic_file.h"

#include "app/status.h"
#include "settings/text_decoding.h"
#include <QByteArray>

#include <QString>

#include <optional>
#include <vector>

namespace marunoki {

class IniFile {
public:
    using Encoding = TextEncoding;
    enum class State { Missing, Read, Unreadable };

    // Reads the whole file. A missing file reads as an empty one; a file that
    // cannot be read (or is too large to be a settings file) reads as empty too,
    // but state() says so and it is never written back.
    static IniFile read(const QString &path);
    // An empty file in the encoding new files get.
    IniFile() = default;

    State state() const { return state_; }
    // Why an Unreadable file could not be read ("フォルダです", "UTF-16 で保存
    // されています…"); empty otherwise.
    const QString &problem() const { return problem_; }
    Encoding encoding() const { return encoding_; }

    // The value of a key, blanks and enclosing quotes removed; nothing when the
    // section or the key is missing.
    std::optional<QString> value(const QString &section, const QString &key) const;

    // What the profile-string read of a 256-character buffer gives: the value cut
    // to 255 characters with surrounding spaces removed; the default when the
    // section or key is missing or the value is empty.
    QString profileString(const QString &section, const QString &key, const QString &defaultValue) const;

    // Sets a key, adding the section at the end and the key after the section's
    // last entry when they are missing. Fails (changing nothing) when the names
    // or the value cannot be stored in this format or this file's encoding.
    Status setValue(const QString &section, const QString &key, const QString &value);

    // The file's bytes as they would be written.
    QByteArray bytes() const;

private:
    using Line = DecodedLine;

    std::optional<qsizetype> findSection(const QString &section) const;
    // Index of the key's line inside the section starting at `header`.
    std::optional<qsizetype> findKey(qsizetype header, const QString &key) const;
    QByteArray encode(const QString &text) const;
    std::optional<QByteArray> encodeExactly(const QString &text) const;
    QByteArray newLineEnding() const;
    void insertLine(qsizetype at, const QByteArray &raw, const QString &text);

    State state_ = State::Missing;
    QString problem_;
    Encoding encoding_ = Encoding::Cp932;
    std::vector<Line> lines_;
};

// The settings read routine: one value of an ini file, with its default for a
// missing file, section, key or an empty value (see IniFile::profileString).
QString readIni(const QString &section, const QString &key, const QString &defaultValue, const QString &path);

// The settings write routine: sets one key in an ini file, creating the file,
// section or key when missing and keeping everything else (see the design notes).
// A failed write (a full disk, a read-only file) leaves the file as it was.
Status writeProfileString(const QString &section, const QString &key, const QString &value,
    const QString &path, const FileSystem &files = systemFileSystem());

}  // namespace marunoki
