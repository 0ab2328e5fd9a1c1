#include "app/file_name.h"

namespace marunoki {

namespace {

constexpr char16_t kKeptByte = 0xDC00;

// The length of the valid UTF-8 sequence at bytes[at], or 0 when there is none.
qsizetype utf8Sequence(QByteArrayView bytes, qsizetype at)
{
    const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

QString fileNameFromBytes(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = utf8Sequence(bytes, at);
        if (length == 0) {
            name.append(QChar(char16_t(kKeptByte + static_cast<unsigned char>(bytes[at]))));
            ++at;
            continue;
        }
        name.append(QString::fromUtf8(bytes.sliced(at, length)));
        at += length;
    }
    return name;
}

namespace {

// The byte kept at name[i], or -1 when name[i] is text.
int keptByteAt(const QString &name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    const bool kept = c >= kKeptByte + 0x80 && c <= kKeptByte + 0xFF
        && (i == 0 || !QChar::isHighSurrogate(name[i - 1].unicode()));
    return kept ? int(c - kKeptByte) : -1;
}

}  // namespace

bool hasKeptBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (keptByteAt(name, i) >= 0)
            return true;
    }
    return false;
}

QString shownFileName(const QString &name)
{
    QString shown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const int byte = keptByteAt(name, i);
        shown
            += byte < 0 ? QString(name[i]) : QStringLiteral("\\x%1").arg(QString::number(byte, 16).toUpper());
    }
    return shown;
}

QByteArray fileNameBytes(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype run = 0;  // start of the text not yet encoded
    for (qsizetype i = 0; i < name.size(); ++i) {
        const int byte = keptByteAt(name, i);
        if (byte < 0)
            continue;
        bytes += QStringView(name).sliced(run, i - run).toUtf8();
        bytes += char(byte);
        run = i + 1;
    }
    bytes += QStringView(name).sliced(run).toUtf8();
    return bytes;
}

}  // namespace marunoki
