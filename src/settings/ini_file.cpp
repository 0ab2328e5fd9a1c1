#include "settings/ini_file.h"

#include "app/atomic_file.h"
#include "settings/text_decoding.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <sys/stat.h>

namespace marunoki {

namespace {

// A settings file is a few hundred bytes; anything this large is not one.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;
// The profile-string reader gets a 256-character buffer, one of which is the NUL.
constexpr qsizetype kValueLimit = 255;

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool isIniBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

QStringView trimIni(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isIniBlank(text.at(begin)))
        ++begin;
    while (end > begin && isIniBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// One line of the file as the profile calls see it.
struct ParsedLine {
    enum class Kind { Blank, Comment, Section, Entry } kind = Kind::Blank;
    QStringView name;  // section name or key
    QStringView value;  // entry value (blanks removed)
};

ParsedLine parseLine(QStringView text)
{
    ParsedLine line;
    const QStringView body = trimIni(text);
    if (body.isEmpty())
        return line;
    if (body.front() == u';') {
        line.kind = ParsedLine::Kind::Comment;
    } else if (body.front() == u'[') {
        line.kind = ParsedLine::Kind::Section;
        const qsizetype close = body.indexOf(u']');
        line.name = trimIni(close < 0 ? body.mid(1) : body.mid(1, close - 1));
    } else {
        line.kind = ParsedLine::Kind::Entry;
        const qsizetype eq = body.indexOf(u'=');
        line.name = trimIni(eq < 0 ? body : body.left(eq));
        if (eq >= 0)
            line.value = trimIni(body.mid(eq + 1));
    }
    return line;
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar(u'\0'));
}

}  // namespace

IniFile IniFile::read(const QString &path)
{
    IniFile ini;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return ini;
    ini.state_ = State::Unreadable;
    if (info.isDir()) {
        ini.problem_ = QStringLiteral("フォルダです");
        return ini;
    }
    // A pipe or a device would block the read or never end.
    if (!info.isFile()) {
        struct stat target { };
        const bool loop = ::stat(QFile::encodeName(path).constData(), &target) != 0 && errno == ELOOP;
        ini.problem_ = info.exists() ? QStringLiteral("通常のファイルではありません")
            : loop                   ? QStringLiteral("シンボリックリンクが循環しています")
                                     : QStringLiteral("リンク先のファイルがありません");
        return ini;
    }
    if (info.size() > kMaxFileSize) {
        ini.problem_ = QStringLiteral("%1 バイトあり、設定ファイルとしては大きすぎます").arg(info.size());
        return ini;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ini.problem_ = file.error() == QFileDevice::OpenError && !info.isReadable()
            ? QStringLiteral("読み取りが許可されていません")
            : file.errorString();
        return ini;
    }
    QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        ini.problem_ = file.errorString();
        return ini;
    }
    if (bytes.size() > kMaxFileSize) {
        ini.problem_ = QStringLiteral("設定ファイルとしては大きすぎます");
        return ini;
    }
    // UTF-16 is refused: the profile calls of the ANSI program cannot read it
    // either, and writing it back in another encoding would turn the user's
    // file into another.
    // Decided as every text file the user edits is (text_decoding.h).
    DecodedText decoded = decodeUserText(std::move(bytes));
    if (!decoded.problem.isEmpty()) {
        ini.problem_ = decoded.problem;
        return ini;
    }
    ini.state_ = State::Read;
    ini.encoding_ = decoded.encoding;
    ini.lines_ = std::move(decoded.lines);
    return ini;
}

std::optional<qsizetype> IniFile::findSection(const QString &section) const
{
    for (qsizetype i = 0; i < static_cast<qsizetype>(lines_.size()); ++i) {
        const ParsedLine line = parseLine(lines_[static_cast<size_t>(i)].text);
        if (line.kind == ParsedLine::Kind::Section && sameName(line.name, section))
            return i;
    }
    return std::nullopt;
}

std::optional<qsizetype> IniFile::findKey(qsizetype header, const QString &key) const
{
    for (qsizetype i = header + 1; i < static_cast<qsizetype>(lines_.size()); ++i) {
        const ParsedLine line = parseLine(lines_[static_cast<size_t>(i)].text);
        if (line.kind == ParsedLine::Kind::Section)
            break;
        if (line.kind == ParsedLine::Kind::Entry && sameName(line.name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const auto header = findSection(section);
    if (!header)
        return std::nullopt;
    const auto at = findKey(*header, key);
    if (!at)
        return std::nullopt;
    QStringView value = parseLine(lines_[static_cast<size_t>(*at)].text).value;
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == u'"' || value.front() == u'\''))
        value = value.mid(1, value.size() - 2);
    return value.toString();
}

QString IniFile::profileString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const auto found = value(section, key);
    if (!found || found->isEmpty())
        return defaultValue;
    qsizetype length = std::min(found->size(), kValueLimit);
    // Never keep half of a character outside the basic plane.
    if (length < found->size() && found->at(length - 1).isHighSurrogate())
        --length;
    QStringView kept = QStringView(*found).left(length);
    while (!kept.isEmpty() && kept.front() == u' ')
        kept = kept.mid(1);
    while (!kept.isEmpty() && kept.back() == u' ')
        kept.chop(1);
    return kept.toString();
}

QByteArray IniFile::encode(const QString &text) const
{
    if (encoding_ == Encoding::Cp932) {
        QStringEncoder encoder(cp932Name());
        return encoder.encode(text);
    }
    return text.toUtf8();
}

std::optional<QByteArray> IniFile::encodeExactly(const QString &text) const
{
    const QByteArray bytes = encode(text);
    QStringDecoder decoder
        = encoding_ == Encoding::Cp932 ? QStringDecoder(cp932Name()) : QStringDecoder(QStringDecoder::Utf8);
    const QString back = decoder.decode(bytes);
    if (decoder.hasError() || back != text)
        return std::nullopt;
    return bytes;
}

QByteArray IniFile::newLineEnding() const
{
    for (const Line &line : lines_) {
        if (!line.ending.isEmpty())
            return line.ending;
    }
    return QByteArrayLiteral("\r\n");  // what the Windows program writes
}

void IniFile::insertLine(qsizetype at, const QByteArray &raw, const QString &text)
{
    const QByteArray ending = newLineEnding();
    if (at > 0 && lines_[static_cast<size_t>(at - 1)].ending.isEmpty())
        lines_[static_cast<size_t>(at - 1)].ending = ending;
    Line line;
    line.raw = raw;
    line.ending = ending;
    line.text = text;
    lines_.insert(lines_.begin() + at, std::move(line));
}

Status IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const auto refuse = [](const QString &why) { return Status::failure(why); };
    if (section.isEmpty() || hasLineBreak(section) || section.contains(u']') || trimIni(section) != section)
        return refuse(QStringLiteral("設定の区分名が不正です: ") + section);
    if (key.isEmpty() || hasLineBreak(key) || key.contains(u'=') || key.startsWith(u'[')
        || key.startsWith(u';') || trimIni(key) != key)
        return refuse(QStringLiteral("設定のキー名が不正です: ") + key);
    if (hasLineBreak(value))
        return refuse(QStringLiteral("設定値に改行は書けません: ") + key);

    const auto header = findSection(section);
    const qsizetype existing = header ? findKey(*header, key).value_or(-1) : -1;
    // Keep the key as the file spells it.
    const QString name
        = existing >= 0 ? parseLine(lines_[static_cast<size_t>(existing)].text).name.toString() : key;
    const QString entryText = name + u'=' + value;
    const auto entry = encodeExactly(entryText);
    const QString headerText = u'[' + section + u']';
    const auto headerBytes = encodeExactly(headerText);
    if (!entry || !headerBytes)
        return refuse(QStringLiteral("設定ファイルの文字コードで書けない文字があります: ") + entryText);

    if (existing >= 0) {
        Line &line = lines_[static_cast<size_t>(existing)];
        line.raw = *entry;
        line.text = entryText;
        return Status::success();
    }
    if (header) {
        // After the section's last non-blank line.
        qsizetype at = *header + 1;
        for (qsizetype i = *header + 1; i < static_cast<qsizetype>(lines_.size()); ++i) {
            const ParsedLine line = parseLine(lines_[static_cast<size_t>(i)].text);
            if (line.kind == ParsedLine::Kind::Section)
                break;
            if (line.kind != ParsedLine::Kind::Blank)
                at = i + 1;
        }
        insertLine(at, *entry, entryText);
        return Status::success();
    }
    qsizetype at = static_cast<qsizetype>(lines_.size());
    if (at > 0 && parseLine(lines_.back().text).kind != ParsedLine::Kind::Blank)
        insertLine(at++, QByteArray(), QString());
    insertLine(at, *headerBytes, headerText);
    insertLine(at + 1, *entry, entryText);
    return Status::success();
}

QByteArray IniFile::bytes() const
{
    QByteArray out;
    if (encoding_ == Encoding::Utf8WithBom)
        out += kUtf8Bom;
    for (const Line &line : lines_) {
        out += line.raw;
        out += line.ending;
    }
    return out;
}

QString readIni(const QString &section, const QString &key, const QString &defaultValue, const QString &path)
{
    return IniFile::read(path).profileString(section, key, defaultValue);
}

Status writeProfileString(const QString &section, const QString &key, const QString &value,
    const QString &path, const FileSystem &files)
{
    IniFile ini = IniFile::read(path);
    if (ini.state() == IniFile::State::Unreadable)
        return Status::failure(QStringLiteral("設定ファイル %1 が読めません（%2）").arg(path, ini.problem()));
    Status changed = ini.setValue(section, key, value);
    if (!changed.ok())
        return changed;

    const Status written = writeFileAtomically(path, ini.bytes(), files);
    if (!written.ok())
        return written;
    return Status::success();
}

}  // namespace marunoki
