#pragma once
// A folder of several files (a race report) replaced whole: whoever opens it
// sees the old report or the new one, never the old index with the new graphs.
//
// NOTES ON THE DESIGN
// - The new files are written into a fresh hidden folder beside the target
//   (".NAME.new-XXXXXX", same file system, so the swap is a rename). Until the
//   swap nothing of the target is touched; a failure, or the object going away
//   unswapped, removes the new folder and leaves the old report whole.
// - A target that holds only report files (regular files whose names
//   `isReportFile` accepts) is exchanged with the new folder in one step
//   (renameat2 RENAME_EXCHANGE; two renames where the file system cannot),
//   and the old files are then deleted by name.
// - A target that holds anything else (the user's own files: a report written
//   into the application folder, say) is never moved or deleted: the new files
//   are renamed into it one by one, each whole.
// - A target that is a symbolic link to a folder is replaced where it points.

#include "app/status.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace marunoki {

class ReportFolder {
public:
    // Makes the new folder beside target (creating target's parent when needed).
    // isReportFile tells a report's own file names from any other.
    ReportFolder(const QString &target, std::function<bool(const QString &name)> isReportFile);
    ~ReportFolder();
    ReportFolder(const ReportFolder &) = delete;
    ReportFolder &operator=(const ReportFolder &) = delete;

    // Failure when the new folder could not be made (then swapIn fails too).
    const Status &opened() const { return opened_; }
    // The new folder, where the files go (ends in '/').
    QString path() const { return staging_ + u'/'; }
    // Puts the new files in place of the old report. Once only.
    Status swapIn();

private:
    void removeStaging();

    QString target_;
    QString staging_;
    std::function<bool(const QString &)> isReportFile_;
    Status opened_ = Status::success();
    bool swapped_ = false;
};

}  // namespace marunoki
