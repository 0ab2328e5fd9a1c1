#pragma once
// Text files the user writes by hand or with a spreadsheet (the settings file,
// a marks file), decoded one way: UTF-8 or the Windows Japanese code page.
//
// NOTES ON THE DESIGN
// - A file with a UTF-8 byte-order mark, or valid UTF-8 holding any non-ASCII
//   text, is UTF-8; a file that is not valid UTF-8 but well-formed CP932
//   (Shift_JIS) is CP932. A file that is neither (a UTF-8 file with one stray
//   Latin-1 byte, say) is decoded line by line: a line of valid UTF-8 as UTF-8,
//   any other as CP932, so one bad line never garbles the lines around it; such
//   a file counts as UTF-8 when it has UTF-8 lines. A file of plain ASCII
//   counts as CP932.
// - UTF-16 (with or without a byte-order mark) is not decoded: problem() says
//   so, in words for the user.
// - CR and LF never occur inside a CP932 or UTF-8 character, so the bytes are
//   cut into lines before decoding; each line keeps its raw bytes and ending.

#include <QByteArray>
#include <QString>

#include <vector>

namespace marunoki {

enum class TextEncoding { Cp932, Utf8, Utf8WithBom };

struct DecodedLine {
    QByteArray raw;  // bytes without the line ending
    QByteArray ending;  // "\r\n", "\n", "\r" or empty for a last line without one
    QString text;  // decoded
    bool clean = true;  // false: some bytes are not a character of the line's encoding
};

struct DecodedText {
    TextEncoding encoding = TextEncoding::Cp932;
    std::vector<DecodedLine> lines;
    QString problem;  // why the bytes were not decoded (UTF-16); empty = decoded
};

// The bytes of a whole file as lines (see the design notes).
DecodedText decodeUserText(QByteArray bytes);

// The Windows Japanese code page's name for QStringDecoder and QStringEncoder.
const char *cp932Name();

}  // namespace marunoki
