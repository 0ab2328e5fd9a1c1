#include "db/access_cache.h"

#include "db/mdb_import.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace marunoki {

namespace {

// Raised whenever the copy's form changes, so that older copies are made again.
constexpr int kImporterVersion = 1;

QString shortHash(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(20));
}

}  // namespace

CachedCopy cachedSqliteCopy(const QString &accessPath, const QString &cacheFolder, bool refresh)
{
    const QFileInfo source(accessPath);
    if (!source.exists())
        return {QString(), QStringLiteral("%1 does not exist").arg(accessPath)};
    const QString canonical = source.canonicalFilePath();
    const QString fileKey = shortHash((canonical.isEmpty() ? source.absoluteFilePath() : canonical).toUtf8());
    const QString versionKey = shortHash(QStringLiteral("%1|%2|%3")
                                             .arg(source.size())
                                             .arg(source.lastModified().toMSecsSinceEpoch())
                                             .arg(kImporterVersion)
                                             .toUtf8());
    const QString name = fileKey + u'-' + versionKey + QStringLiteral(".sqlite");
    QDir folder(cacheFolder);
    const QString copy = folder.absoluteFilePath(name);
    if (!refresh && QFileInfo::exists(copy))
        return {copy, QString()};
    if (!folder.mkpath(QStringLiteral(".")))
        return {QString(), QStringLiteral("キャッシュのフォルダ %1 を作れません").arg(cacheFolder)};
    const Status status = importMdb(accessPath, copy);
    if (!status.ok())
        return {QString(), status.message()};
    // Copies of earlier versions of the same file are of no more use.
    const QStringList older = folder.entryList({fileKey + QStringLiteral("-*.sqlite")}, QDir::Files);
    for (const QString &file : older) {
        if (file != name)
            folder.remove(file);
    }
    CachedCopy made {copy, QString()};
    made.imported = true;
    return made;
}

}  // namespace marunoki
