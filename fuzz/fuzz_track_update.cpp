// Fuzz target: the file the user picks in the track-data update, as arbitrary
// bytes.
//
// The first byte chooses the form: even, the rest of the input is the file as
// it is (an SQLite track database, or anything); odd, the rest gets the header
// of an Access (Jet 4) file over its first bytes, so that it goes through the
// import like a real marunoki.dat from Windows. The file is then installed with
// the update into an application folder that holds a valid track database.
//
// Promises checked for every input:
// - the installed file is afterwards either unchanged or the input file byte
//   for byte, and the latter only when the update says so;
// - an update is accepted only for a file whose version table has an issue
//   date, and the installed file then reads with that date;
// - nothing is left beside the installed file (no temporary copy, no SQLite
//   side files) and nothing in the scratch folder of the import;
// - every refusal but "no version row" is reported, and that one is not.

#include "fuzz_check.h"

#include "app/common.h"
#include "app/message_sink.h"
#include "maintenance/track_data_update.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdint>

namespace {

using namespace marunoki;
using fuzz::check;

// A hang in libmdb is ended by the importer after this long; the fuzzer's own
// -timeout is set above it, so only a hang of ours is reported as one.
constexpr int kImportSeconds = 20;

// The first bytes of a Jet 4 (Access 2000) file, up to its version byte.
const QByteArray kJetHeader("\x00\x01\x00\x00Standard Jet DB\x00\x01", 21);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    check(file.open(QIODevice::ReadOnly), "installed file readable");
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "file opens for writing");
    check(file.write(bytes) == bytes.size(), "file written");
}

// The installed track database every input starts from: the three tables and an
// issue date, written once through SQLite.
QByteArray installedTrackDatabase(const QString &path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz-writer"));
        db.setDatabaseName(path);
        check(db.open(), "installed database created");
        QSqlQuery query(db);
        for (const char *sql :
            {"CREATE TABLE version(date TEXT)", "INSERT INTO version VALUES ('2026-11-01')",
                "CREATE TABLE T_sisuu(S_date TEXT, S_zyo TEXT, S_siba INTEGER, S_sisuu REAL)",
                "CREATE TABLE T_avetime(A_class TEXT, A_kyori INTEGER, A_zyo TEXT, A_siba INTEGER, "
                "A_time REAL, A_sin_kyu INTEGER)"})
            check(query.exec(QString::fromLatin1(sql)), "installed database filled");
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fuzz-writer"));
    return readAll(path);
}

struct Folders {
    QTemporaryDir top;
    QString app = top.filePath(QStringLiteral("app"));
    QString saved = top.filePath(QStringLiteral("saved"));
    QString scratch = top.filePath(QStringLiteral("scratch"));
    QString installed;
    QByteArray original;

    Folders()
    {
        check(top.isValid(), "temporary folder");
        for (const QString &folder : {app, saved, scratch})
            check(QDir().mkpath(folder), "folders made");
        installed = AppFolder(app).file(QStringLiteral("marunoki.dat"));
        original = installedTrackDatabase(installed);
    }
};

QByteArray chosenBytes(const uint8_t *data, size_t size)
{
    if (size == 0)
        return QByteArray();
    QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    if (data[0] % 2 == 1) {
        if (bytes.size() < kJetHeader.size())
            bytes.resize(kJetHeader.size(), '\0');
        bytes.replace(0, kJetHeader.size(), kJetHeader);
    }
    return bytes;
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
    static Folders folders;
    const AppFolder app(folders.app);
    const QByteArray bytes = chosenBytes(data, size);
    const QString chosen = folders.saved + QStringLiteral("/baba.dat");
    writeAll(chosen, bytes);

    RecordingSink sink;
    TrackUpdateOptions options;
    options.scratchFolder = folders.scratch;
    options.importSeconds = kImportSeconds;
    const TrackUpdateResult result = updateTrackFile(app, chosen, sink, options);

    using Outcome = TrackUpdateResult::Outcome;
    const QByteArray after = readAll(folders.installed);
    if (result.outcome == Outcome::Updated) {
        check(after == bytes, "an accepted file is installed byte for byte");
        check(result.issueDate > 0 && !result.versionText.isEmpty(), "accepted only with an issue date");
        const TrackFileCheck installed = checkTrackFile(folders.installed, options);
        check(installed.kind == TrackFileCheck::Kind::Dated && installed.issueDate == result.issueDate,
            "the installed file reads with the date it was accepted for");
    } else {
        check(after == folders.original, "a refused file leaves the installed file as it was");
    }
    check(result.outcome != Outcome::NoFileChosen && result.outcome != Outcome::SameFile,
        "a chosen file that is not the installed one");
    check((result.outcome == Outcome::Updated || result.outcome == Outcome::NoIssueDate)
            == sink.messages().isEmpty(),
        "every refusal but a missing version row is reported");
    check(result.outcome != Outcome::Unopenable
            || sink.messages().value(0) == QStringLiteral("dataファイルが開けません"),
        "an unopenable file is reported as the database layer reports it");
    check(QDir(folders.app).entryList(QDir::Files | QDir::Hidden | QDir::System)
            == QStringList {QStringLiteral("marunoki.dat")},
        "nothing is left beside the installed file");
    check(
        QDir(folders.scratch).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
        "the import's scratch folder is cleaned up");

    if (after != folders.original)
        writeAll(folders.installed, folders.original);
    return 0;
}
