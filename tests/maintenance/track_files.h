#pragma once
// Small track databases for the update tests: the three tables of marunoki.dat
// in SQLite form, with or without an issue date.

#include <QByteArray>
#include <QString>

#include <optional>

namespace marunoki::test {

// Writes a track database at `path`: its version table holds `issued` (an ISO
// date text) when given and no row otherwise, and T_sisuu holds `variantRows`
// rows so that files of different sizes can be made. Returns the file's bytes.
QByteArray writeTrackFile(const QString &path, const std::optional<QString> &issued, int variantRows = 0);

}  // namespace marunoki::test
