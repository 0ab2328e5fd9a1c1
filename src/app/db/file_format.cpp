#include "app/db/file_format.h"

#include <QFile>
#include <QFileInfo>

namespace marunoki {

FormatProbe probeDatabaseFormat(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {DatabaseFormat::Missing, QStringLiteral("%1 does not exist").arg(path)};
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return {DatabaseFormat::Unreadable,
            QStringLiteral("%1 cannot be read: %2")
                .arg(path, info.isDir() ? QStringLiteral("it is a folder") : file.errorString())};
    const QByteArray head = file.read(20);
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return {DatabaseFormat::SQLite, {}};
    const QByteArray signature = head.mid(4, 15);
    if (signature == "Standard Jet DB" || signature == "Standard ACE DB")
        return {DatabaseFormat::Access, {}};
    return {
        DatabaseFormat::Unknown, QStringLiteral("%1 is neither an SQLite nor an Access database").arg(path)};
}

}  // namespace marunoki
