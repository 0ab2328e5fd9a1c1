#pragma once
// Outputs that must never land on the application folder's own files.
//
// An output path (a JSON or CSV file, a PDF, a folder of pictures, a report or
// an archive folder, an imported copy) that names the track database
// ("marunoki.dat"), the local-racing database ("NAR_data.mdb"), the settings
// file ("marunoki.ini"), the journal ("journal.sqlite"), the side files SQLite
// keeps beside a database, or anything in the page cache ("cache") of the
// application folder is refused before anything is written.
//
// NOTES ON THE DESIGN
// - Files are compared by identity (device and inode), not by spelling: a
//   symbolic link, "..", another mount of the same folder or a hard link all
//   lead to the same file. A file that does not exist yet is its folder's
//   identity plus its name.
// - The path is resolved by the kernel (realpath) from its deepest part that
//   exists, so a link inside the path is followed exactly as a write would
//   follow it; parts that do not exist yet cannot be links.
// - A path that cannot be examined (a link loop, no permission) is let
//   through: the write itself then fails with its cause.

#include "app/common.h"
#include "app/status.h"

#include <QString>
#include <QStringList>

namespace marunoki {

// The names of the application folder's own files an output may not take.
QStringList protectedFileNames();

// Success, or a failure naming the path and the file of the application
// folder it would replace ("… はアプリケーションフォルダの marunoki.dat です").
Status checkOutputTarget(const AppFolder &folder, const QString &path);

}  // namespace marunoki
