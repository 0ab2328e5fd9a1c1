#include "track_files.h"

#include "support/crash_harness.h"
#include "support/sqlite_file.h"

#include <QFile>
#include <QVariantList>

namespace marunoki::test {

QByteArray writeTrackFile(const QString &path, const std::optional<QString> &issued, int variantRows)
{
    QFile::remove(path);
    {
        SqliteFile file(path);
        createTrackTables(file);
        if (issued)
            file.exec(QStringLiteral("INSERT INTO version VALUES (?)"), {*issued});
        QList<QVariantList> rows;
        for (int i = 0; i < variantRows; ++i)
            rows.append({QStringLiteral("2026-11-%1").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                QStringLiteral("%1").arg(1 + i % 10, 2, 10, QLatin1Char('0')), i % 2, -0.1 * (i % 40)});
        if (!rows.isEmpty())
            file.insertRows(QStringLiteral("INSERT INTO T_sisuu VALUES (?, ?, ?, ?)"), rows);
        file.exec(QStringLiteral("INSERT INTO T_avetime VALUES ('ave', 1600, '05', 1, 95.1, 1)"));
    }
    return fileBytes(path).value_or(QByteArray());
}

}  // namespace marunoki::test
