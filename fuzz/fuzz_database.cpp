// Fuzz target: a database file (marunoki.dat, NAR_data.mdb) as arbitrary bytes.
//
// The bytes are written to a file and opened the way the program opens its
// databases. An SQLite file is opened directly; an Access file goes through the
// import, which runs libmdb in a child process, so a crash in libmdb must come
// back as an error text and never take this process down. Whatever opens is then
// used as the track database and as the local-racing database of a race that
// has a runner of the sample data.

#include "fuzz_check.h"

#include "analysis/track_db.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "db/database.h"
#include "db/file_format.h"
#include "db/mdb_import.h"
#include "local/nar_merge.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

namespace {

using namespace marunoki;
using fuzz::check;

// A hang in libmdb is ended by the importer after this long; the fuzzer's own
// -timeout is set above it, so only a hang of ours is reported as one.
constexpr int kImportSeconds = 20;

void useAsTrackDatabase(Database &db)
{
    for (const auto kind : {TrackDatabase::Kind::Central, TrackDatabase::Kind::Local}) {
        TrackDatabase track(db, kind);
        (void)track.issueDate();
        // 2026-12-20 and a day of the sample data's range.
        for (const double day : {46376.0, 46000.0}) {
            for (const qint32 surface : {0, 1, 2}) {
                (void)track.trackVariant(day, QStringLiteral("05"), surface);
                (void)track.averageTime(1600, QStringLiteral("05"), surface);
                (void)track.averageTime(1200, QStringLiteral("大井"), surface);
            }
        }
    }
}

void useAsLocalDatabase(Database &db)
{
    auto store = std::make_unique<RaceStore>();
    store->raceDate = 46383;  // 2026-12-27, the sample data's race day
    store->fieldSize = 1;
    store->horses[1].name = QStringLiteral("サンプルホース");
    RecordingSink sink;
    readNar(*store, 1, &db, sink);
    for (int r = 2; r <= kMaxRuns; ++r)
        check(store->horses[1].runs[r].date <= store->horses[1].runs[r - 1].date
                || store->horses[1].runs[r].date == 0,
            "merged runs are newest first");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // QSqlDatabase needs an application object for its driver plugins.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static int counter = 0;
    // A fresh name per input: the cached copies of Access files are keyed by
    // path, size and time, and two inputs may share all three.
    const QString path = dir.filePath(QStringLiteral("input-%1.dat").arg(++counter));
    const QString cache = dir.filePath(QStringLiteral("cache"));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly), "input file opens");
        check(file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size))
                == static_cast<qint64>(size),
            "input file written");
    }

    QString opened = path;
    if (probeDatabaseFormat(path).format == DatabaseFormat::Access) {
        const QString copy = dir.filePath(QStringLiteral("import.sqlite"));
        QFile::remove(copy);
        const Status status = importMdb(path, copy, kImportSeconds);
        check(status.ok() == status.message().isEmpty(), "an import fails with a reason and only then");
        check(status.ok() || !QFile::exists(copy), "a failed import leaves no copy");
        opened = status.ok() ? copy : QString();
    }
    if (!opened.isEmpty()) {
        QString error;
        std::unique_ptr<Database> db = Database::openQuietly(opened, &error, cache);
        check(bool(db) == error.isEmpty(), "an open fails with a reason and only then");
        if (db) {
            useAsTrackDatabase(*db);
            useAsLocalDatabase(*db);
        }
    }
    QFile::remove(path);
    QDir(cache).removeRecursively();
    return 0;
}
