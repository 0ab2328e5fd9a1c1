#pragma once
// CSV export of the loaded race's speed figures: one line per runner, the figures
// of its past runs newest first, rounded to whole numbers.
//
// The file sits beside the program and is named by the race date alone
// (yymmdd + "0.csv"), so every export of a race on the same day replaces the same
// file. It is written in the Japanese Windows code page (CP932) with CRLF line
// ends, the encoding the spreadsheets of the program's users expect.

#include "app/atomic_file.h"

#include <QString>

namespace marunoki {

class AppFolder;
class MessageSink;
class RaceStore;

// Text in the program's CSV encoding (CP932), for every CSV file it writes.
QByteArray toCodePage(const QString &text);

// The file's text: the header "枠番,馬番,馬名", then for every runner slot
// 1..tousuu with a name, its bracket, number and name followed by every non-zero
// figure of runs 1..50 rounded half to even; each line ends in CRLF, and one more
// CRLF ends the file.
QString csvText(const RaceStore &store);

// Writes the file atomically (a failed write leaves any earlier file as it was).
// On success shows the path followed by " へ出力しました" and returns true; on
// failure (a full disk, a read-only file, ...) shows a message naming the path
// and the cause and returns false. Reads the store only.
// race > 0 (a race of a day written with the others): the name gets "_" and
// the race number ("2611290_05R.csv"), so the races of one day do not replace
// one another.
bool writeCsv(const RaceStore &store, const AppFolder &folder, MessageSink &messages,
    const FileSystem &files = systemFileSystem(), int race = 0);

}  // namespace marunoki
