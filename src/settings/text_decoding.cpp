#include "settings/text_decoding.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>

namespace marunoki {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// Whether the bytes are well-formed CP932: single bytes 00-7F and A1-DF
// (half-width katakana), lead bytes 81-9F and E0-FC each followed by a trail
// byte 40-7E or 80-FC. UTF-8 Japanese text almost never is.
bool isWellFormedCp932(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF))
            continue;
        if (!((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) || i + 1 == bytes.size())
            return false;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
            return false;
    }
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// UTF-16 without a byte-order mark: the text of a settings file is mostly
// ASCII, whose UTF-16 has a zero byte in every other place. Neither CP932 nor
// UTF-8 text has zero bytes at all.
bool looksLikeUtf16(QByteArrayView bytes)
{
    const qsizetype n = std::min<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    if (n < 4)
        return false;
    qsizetype zeros[2] = {0, 0};
    for (qsizetype i = 0; i < n; ++i)
        zeros[i % 2] += bytes[i] == '\0';
    return std::max(zeros[0], zeros[1]) * 4 >= n;  // half the places of one parity or more
}

}  // namespace

// ICU knows the code page under both names; the first is Microsoft's variant
// (its mapping of ～, ∥ and the NEC extensions).
const char *cp932Name()
{
    static const char *name = QStringDecoder("windows-31j").isValid() ? "windows-31j" : "Shift_JIS";
    return name;
}

DecodedText decodeUserText(QByteArray bytes)
{
    DecodedText decoded;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        decoded.problem
            = QStringLiteral("UTF-16 で保存されています（Shift_JIS か UTF-8 で保存し直してください）");
        return decoded;
    }
    if (looksLikeUtf16(bytes)) {
        decoded.problem = QStringLiteral(
            "UTF-16（バイト順マークなし）で保存されています（Shift_JIS か UTF-8 で保存し直してください）");
        return decoded;
    }

    // Which lines are decoded how (see the design notes).
    bool perLine = false;
    if (bytes.startsWith(kUtf8Bom)) {
        decoded.encoding = TextEncoding::Utf8WithBom;
        bytes.remove(0, kUtf8Bom.size());
        perLine = !isValidUtf8(bytes);
    } else if (isValidUtf8(bytes)) {
        decoded.encoding = isAscii(bytes) ? TextEncoding::Cp932 : TextEncoding::Utf8;
    } else if (!isWellFormedCp932(bytes)) {
        perLine = true;
    }

    bool utf8Lines = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        DecodedLine line;
        line.raw = bytes.mid(start, end - start);
        if (end < bytes.size()) {
            const bool crlf = bytes.at(end) == '\r' && end + 1 < bytes.size() && bytes.at(end + 1) == '\n';
            line.ending = bytes.mid(end, crlf ? 2 : 1);
        }
        bool utf8 = decoded.encoding != TextEncoding::Cp932;
        if (perLine) {
            utf8 = isValidUtf8(line.raw);
            utf8Lines = utf8Lines || (utf8 && !isAscii(line.raw));
        }
        QStringDecoder decoder = utf8 ? QStringDecoder(QStringDecoder::Utf8) : QStringDecoder(cp932Name());
        line.text = decoder.decode(line.raw);
        line.clean = !decoder.hasError();
        start = end + line.ending.size();
        decoded.lines.push_back(std::move(line));
    }
    // New lines of a mixed file follow its UTF-8 lines.
    if (perLine && utf8Lines && decoded.encoding == TextEncoding::Cp932)
        decoded.encoding = TextEncoding::Utf8;
    return decoded;
}

}  // namespace marunoki
