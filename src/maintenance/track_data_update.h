#pragma once
// Replacing the track database "marunoki.dat" with a newer issue that the user
// saved somewhere (a "馬場更新ファイル"), and the texts and start folder of the
// update dialog.
//
// The installed file is replaced whole or not at all: the chosen file is copied
// to a temporary file beside the installed one, flushed to disk, checked there
// (it opens as a database and its version table has an issue date), and only
// then renamed over "marunoki.dat". A crash at any moment leaves the old file or
// the new one, never a mix and never an empty file; a failure leaves the old
// file byte for byte as it was. Because the bytes that are checked are the bytes
// that get installed, a file changed between the check and the copy cannot slip
// through.
//
// Messages go to the sink; the outcome comes back as a value. Blocking (an
// Access file is imported for the check, in a child process); call from one
// thread at a time.

#include "app/atomic_file.h"
#include "app/common.h"
#include "db/mdb_import.h"

#include <QString>

#include <optional>

namespace marunoki {

class MessageSink;

// "現在の馬場情報ファイルは " + the issue date as "yyyy/mm/dd" + "版です".
QString trackVersionText(double issueDate);

// The version text of the installed marunoki.dat; nothing when it has no issue
// date. A file that cannot be opened is reported as every database open reports
// it ("dataファイルが開けません"). cacheFolder: where an Access file's imported
// copy is kept (empty: the user's cache folder).
std::optional<QString> installedTrackVersion(
    const AppFolder &folder, MessageSink &sink, const QString &cacheFolder = QString());

// What a chosen file holds, as far as the update cares.
struct [[nodiscard]] TrackFileCheck {
    enum class Kind {
        Dated,  // opens and has an issue date later than 0
        NoIssueDate,  // opens, the version table has no row (or a date not later than 0)
        NotTrackData,  // opens, but there is no version table or its date cannot be read
        Unopenable,  // cannot be opened as a database
    };
    Kind kind = Kind::Unopenable;
    double issueDate = 0;
    QString error;  // why, for NotTrackData and Unopenable
};

struct TrackUpdateOptions {
    // Where a chosen Access file is imported for the check (a scratch folder is
    // made inside it and removed afterwards); empty: the system's temporary folder.
    QString scratchFolder;
    // The longest an Access import for the check may take.
    int importSeconds = kImportTimeLimitSeconds;
};

// Opens the file the way the installed track database is opened (an SQLite file
// directly, an Access file through the import), runs the version query and
// closes it again. Shows nothing.
TrackFileCheck checkTrackFile(const QString &path, const TrackUpdateOptions &options = {});

struct [[nodiscard]] TrackUpdateResult {
    enum class Outcome {
        Updated,  // marunoki.dat now holds the chosen file
        NoFileChosen,  // "更新ファイルを選択してください"
        SameFile,  // the chosen file is the installed file itself
        InUse,  // another program is still writing the chosen file (its "-wal" log is not empty)
        Unopenable,  // "dataファイルが開けません"
        NotTrackData,  // a database without a readable version table
        NoIssueDate,  // no version row: ignored without a message
        CopyFailed,  // the installed file could not be replaced; it is unchanged
    };
    Outcome outcome = Outcome::NoFileChosen;
    double issueDate = 0;  // of the installed file, when Updated
    QString versionText;  // trackVersionText(issueDate), when Updated
};

// The update button: replaces application folder + "marunoki.dat" with `source`
// (a full path; empty when the user chose no file). Every outcome but Updated and
// NoIssueDate shows a message through the sink; only Updated changes the
// installed file. The copy is written through `files` (a full disk gives
// CopyFailed with the old file unchanged).
TrackUpdateResult updateTrackFile(const AppFolder &folder, const QString &source, MessageSink &sink,
    const TrackUpdateOptions &options = {}, const FileSystem &files = systemFileSystem());

// The folder the update dialog opens in: the setting "babadir" when it names an
// existing folder by an absolute path, otherwise the application folder (so
// always for the Windows default "C:\").
QString updateStartFolder(const AppFolder &folder);

}  // namespace marunoki
