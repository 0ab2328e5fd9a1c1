#pragma once
// File names as the system stores them: bytes, which need not be UTF-8.
//
// A name given on the command line may hold bytes that are not UTF-8 (a file
// of an old Shift_JIS system, say). Decoded the usual way they would become
// U+FFFD, and the file would be written under another name. Here each such
// byte is kept as one lone surrogate U+DC80..U+DCFF (as Python's
// "surrogateescape" does), which encoding turns back into the same byte; valid
// UTF-8 decodes as usual. Every file the program writes is named through
// fileNameBytes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace marunoki {

// The name's text, each byte that is not part of valid UTF-8 kept as above.
QString fileNameFromBytes(QByteArrayView bytes);

// The bytes of a name made by fileNameFromBytes (or any other text): UTF-8,
// with the kept bytes given back.
QByteArray fileNameBytes(const QString &name);

// Whether the name keeps bytes that are not UTF-8. Such a name can be
// written to (through fileNameBytes) but not read through Qt's file classes,
// which would look for another name.
bool hasKeptBytes(const QString &name);

// The name as a message shows it: each kept byte as \xFF, not as "?".
QString shownFileName(const QString &name);

}  // namespace marunoki
