#include "db/file_format.h"

#include "app/regular_file.h"

#include <QFileInfo>

namespace marunoki {

FormatProbe probeDatabaseFormat(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {DatabaseFormat::Missing, QStringLiteral("%1 がありません").arg(path)};
    // A FIFO named marunoki.dat would otherwise hold the load at this read.
    const RegularFileRead read = readRegularFile(path, 20);
    if (!read.status.ok())
        return {DatabaseFormat::Unreadable,
            QStringLiteral("%1 を読めません（%2）").arg(path, read.status.message())};
    const QByteArray &head = read.bytes;
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return {DatabaseFormat::SQLite, {}};
    const QByteArray signature = head.mid(4, 15);
    if (signature == "Standard Jet DB" || signature == "Standard ACE DB")
        return {DatabaseFormat::Access, {}};
    return {DatabaseFormat::Unknown,
        QStringLiteral("%1 は SQLite のデータベースでも Access のデータベースでもありません").arg(path)};
}

}  // namespace marunoki
