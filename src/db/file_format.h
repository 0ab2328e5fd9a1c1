#pragma once
// Recognises the kind of a database file by its first bytes, never by its name:
// users keep Access files under the name "marunoki.dat", and converted SQLite
// files under "NAR_data.mdb".

#include <QString>

namespace marunoki {

enum class DatabaseFormat {
    Missing,  // there is no such file
    Unreadable,  // there but cannot be read (permissions; a folder, FIFO or device)
    SQLite,  // "SQLite format 3\0"
    Access,  // Jet 3/4 ("Standard Jet DB") or ACE ("Standard ACE DB") at byte 4
    Unknown,  // anything else, including an empty file
};

struct FormatProbe {
    DatabaseFormat format = DatabaseFormat::Unknown;
    QString error;  // why the file cannot be used; empty for SQLite and Access
};

// Reads at most the first 20 bytes of the file; only a regular file is opened,
// so a FIFO or a device never blocks (see regular_file.h).
FormatProbe probeDatabaseFormat(const QString &path);

}  // namespace marunoki
