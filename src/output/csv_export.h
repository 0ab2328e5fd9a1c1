#pragma once
// CSV export of the loaded race's speed figures: one line per runner, the figures
// of its past runs newest first, rounded to whole numbers.
//
// The file sits beside the program and is named by the race date alone
// (yymmdd + "0.csv"), so every export of a race on the same day replaces the same
// file. It is written in the Japanese Windows code page (CP932) with CRLF line
// ends, the encoding the spreadsheets of the program's users expect.

#include "app/atomic_file.h"

#include <QHash>
#include <QString>

#include <optional>

namespace marunoki {

class AppFolder;
class MessageSink;
class RaceStore;

// Text in the program's CSV encoding (CP932), for every CSV file it writes.
QByteArray toCodePage(const QString &text);

// The file's text: the header "枠番,馬番,馬名", then for every runner slot
// 1..fieldSize with a name, its bracket, number and name followed by every non-zero
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

// The file writeCsv writes for these arguments.
[[nodiscard]] QString csvPath(const RaceStore &store, const AppFolder &folder, int race = 0);

// The desktop's CSV export over one session. The file keeps its name (the race
// date alone), so the races of one day meet in one file. Before a file that
// holds another race is replaced the user is asked, naming that race (as this
// session wrote it, or by the runners in the file), and the answer holds for the
// rest of the session. A file holding the same runners is the same race.
class CsvExportSession {
public:
    enum class Answer {
        Replace,  // write over the other race
        OwnName,  // write beside it, named with the race number ("2611290_11R.csv")
        Cancel,  // write nothing (not remembered)
    };
    struct Plan {
        QString path;  // the file as named by the date
        // What to ask, empty when nothing is to be asked.
        QString question;
        // The answer to take without asking: one given earlier this session,
        // or Replace when nothing else is in the way.
        std::optional<Answer> answer;
    };

    // race: the loaded race as the user knows it ("東京 11R").
    [[nodiscard]] Plan plan(const RaceStore &store, const AppFolder &folder, const QString &race) const;
    // The user's answer to a plan's question.
    void answered(Answer answer);
    // A file was written with race's figures.
    void written(const QString &path, const QString &race);

private:
    QHash<QString, QString> written_;  // path -> the race this session wrote there
    std::optional<Answer> answer_;
};

}  // namespace marunoki
