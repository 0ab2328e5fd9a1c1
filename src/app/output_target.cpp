#include "app/output_target.h"

#include "app/file_name.h"

#include <QDir>

#include <climits>
#include <cstdlib>
#include <optional>

#include <sys/stat.h>

namespace marunoki {

namespace {

struct Identity {
    dev_t device {};
    ino_t inode {};
    bool operator==(const Identity &) const = default;
};

std::optional<Identity> identityOf(const QByteArray &path)
{
    struct stat info { };
    if (::stat(path.constData(), &info) != 0)
        return std::nullopt;
    return Identity {info.st_dev, info.st_ino};
}

// The resolved form of path's deepest part that exists, and the rest of the
// path below it (its parts in order); nothing when even "/" cannot be resolved.
struct Resolved {
    QByteArray existing;
    QList<QByteArray> rest;
};

std::optional<Resolved> resolve(const QByteArray &absolute)
{
    QByteArray head = absolute;
    QList<QByteArray> rest;
    for (;;) {
        char buffer[PATH_MAX];
        if (::realpath(head.constData(), buffer) != nullptr)
            return Resolved {QByteArray(buffer), rest};
        const qsizetype slash = head.lastIndexOf('/');
        if (head == "/" || slash < 0)
            return std::nullopt;
        const QByteArray part = head.mid(slash + 1);
        if (!part.isEmpty() && part != ".")
            rest.prepend(part);
        head = slash == 0 ? QByteArray("/") : head.left(slash);
    }
}

QString refusal(const QString &path, const QString &what)
{
    return QStringLiteral("%1 はアプリケーションフォルダの%2です。別の出力先を指定してください")
        .arg(QDir::toNativeSeparators(path), what);
}

}  // namespace

QStringList protectedFileNames()
{
    QStringList names;
    for (const QString &base : {QStringLiteral("marunoki.dat"), QStringLiteral("journal.sqlite")}) {
        names << base;
        // SQLite's side files: replacing one of them damages the database.
        for (const char *side : {"-wal", "-shm", "-journal"})
            names << base + QLatin1String(side);
    }
    names << QStringLiteral("NAR_data.mdb") << QStringLiteral("marunoki.ini");
    return names;
}

Status checkOutputTarget(const AppFolder &folder, const QString &path)
{
    if (path.isEmpty() || path == QLatin1String("-"))
        return Status::success();
    const QByteArray absolute
        = fileNameBytes(QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path);
    const std::optional<Resolved> target = resolve(absolute);
    const std::optional<Identity> app = identityOf(fileNameBytes(folder.path()));
    if (!target || !app)
        return Status::success();

    // Inside the cache, or the cache itself: any ancestor that is it.
    if (const std::optional<Identity> cache
        = identityOf(fileNameBytes(folder.file(QStringLiteral("cache"))))) {
        for (QByteArray at = target->existing;;) {
            if (identityOf(at) == cache)
                return Status::failure(refusal(path, QStringLiteral("ページキャッシュ（cache）の中")));
            const qsizetype slash = at.lastIndexOf('/');
            if (at == "/" || slash < 0)
                break;
            at = slash == 0 ? QByteArray("/") : at.left(slash);
        }
    }
    const QStringList names = protectedFileNames();
    // What exists of the path is one of the files under any name (the file
    // itself, or a file a folder output would have to be made inside).
    const std::optional<Identity> identity = identityOf(target->existing);
    for (const QString &name : names) {
        if (identity && identityOf(fileNameBytes(folder.file(name))) == identity)
            return Status::failure(refusal(path, u' ' + name + u' '));
    }
    if (target->rest.isEmpty())
        return Status::success();
    // A file (or a folder on the way to one) not there yet, directly in the
    // application folder, of a kept name.
    const QString name = fileNameFromBytes(target->rest.first());
    if (names.contains(name) && identityOf(target->existing) == app)
        return Status::failure(refusal(path, u' ' + name + u' '));
    return Status::success();
}

}  // namespace marunoki
