#include "maintenance/track_data_update.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "settings/settings.h"
#include "support/crash_harness.h"
#include "support/failing_file_system.h"
#include "support/qt_print.h"
#include "support/read_only_folder.h"
#include "support/sqlite_file.h"
#include "support/test_folder.h"
#include "track_files.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kInstalled = QStringLiteral("marunoki.dat");
const QString kCannotOpen = QStringLiteral("dataファイルが開けません");

// An application folder with an installed track database of 2026-11-01, and a
// second folder where the user keeps the files they downloaded.
struct UpdateFixture {
    TestFolder app;
    TestFolder saved;
    QByteArray installedBytes = writeTrackFile(app.file(kInstalled), QStringLiteral("2026-11-01"));
    RecordingSink sink;

    AppFolder folder() const { return AppFolder(app.path()); }
    TrackUpdateResult update(const QString &source) { return updateTrackFile(folder(), source, sink); }
    std::optional<QByteArray> installed() const { return fileBytes(app.file(kInstalled)); }
    QStringList strays() const { return strayFiles(app.path(), kInstalled); }
    // Files of the application folder other than marunoki.dat, temporaries included.
    QStringList others() const
    {
        QStringList names = QDir(app.path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(kInstalled);
        return names;
    }
};

}  // namespace

TEST(TrackVersionText, WritesTheIssueDateYearFirst)
{
    EXPECT_EQ(trackVersionText(serialFromYmd(2026, 12, 1).value()),
        QStringLiteral("現在の馬場情報ファイルは 2026/12/01版です"));
    EXPECT_EQ(trackVersionText(serialFromYmd(2007, 5, 27).value()),
        QStringLiteral("現在の馬場情報ファイルは 2007/05/27版です"));
}

TEST(InstalledTrackVersion, ReadsTheInstalledFile)
{
    UpdateFixture f;
    EXPECT_EQ(installedTrackVersion(f.folder(), f.sink),
        QStringLiteral("現在の馬場情報ファイルは 2026/11/01版です"));
    EXPECT_TRUE(f.sink.messages().isEmpty());
}

TEST(InstalledTrackVersion, GivesNothingWithoutAnIssueDateOrAFile)
{
    UpdateFixture f;
    writeTrackFile(f.app.file(kInstalled), std::nullopt);
    EXPECT_EQ(installedTrackVersion(f.folder(), f.sink), std::nullopt);
    EXPECT_TRUE(f.sink.messages().isEmpty());

    QFile::remove(f.app.file(kInstalled));
    EXPECT_EQ(installedTrackVersion(f.folder(), f.sink), std::nullopt);
    ASSERT_FALSE(f.sink.messages().isEmpty());
    EXPECT_EQ(f.sink.messages().first(), kCannotOpen);
}

TEST(UpdateTrackFile, ReplacesTheInstalledFileWithANewerIssue)
{
    UpdateFixture f;
    const QString source = f.saved.file(QStringLiteral("baba_20261201.dat"));
    const QByteArray newer = writeTrackFile(source, QStringLiteral("2026-12-01"), 300);
    ASSERT_NE(newer, f.installedBytes);

    const TrackUpdateResult result = f.update(source);

    EXPECT_EQ(result.outcome, TrackUpdateResult::Outcome::Updated);
    EXPECT_EQ(result.issueDate, serialFromYmd(2026, 12, 1));
    EXPECT_EQ(result.versionText, QStringLiteral("現在の馬場情報ファイルは 2026/12/01版です"));
    EXPECT_TRUE(f.sink.messages().isEmpty()) << f.sink.messages().join(u'\n').toStdString();
    EXPECT_EQ(f.installed(), newer);
    EXPECT_EQ(fileBytes(source), newer);  // the chosen file is only read
    EXPECT_EQ(f.others(), QStringList());
    EXPECT_EQ(installedTrackVersion(f.folder(), f.sink), result.versionText);
}

TEST(UpdateTrackFile, InstallsAWalModeFileWithoutLeavingSideFiles)
{
    UpdateFixture f;
    const QString source = f.saved.file(QStringLiteral("wal.dat"));
    QByteArray wal = writeTrackFile(source, QStringLiteral("2026-12-01"));
    // Bytes 18 and 19 of the header are the read and write versions: 2 is a
    // file written with a write-ahead log, as some tools leave it.
    wal[18] = 2;
    wal[19] = 2;
    f.saved.write(QStringLiteral("wal.dat"), wal);

    const TrackUpdateResult result = f.update(source);
    EXPECT_EQ(result.outcome, TrackUpdateResult::Outcome::Updated);
    EXPECT_EQ(result.versionText, QStringLiteral("現在の馬場情報ファイルは 2026/12/01版です"));
    EXPECT_TRUE(f.sink.messages().isEmpty()) << f.sink.messages().join(u'\n').toStdString();
    EXPECT_EQ(f.installed(), wal);
    EXPECT_EQ(fileBytes(source), wal);
    // Reading the copy, and then the installed file, leaves no "-wal" or "-shm" files.
    EXPECT_EQ(installedTrackVersion(f.folder(), f.sink), result.versionText);
    EXPECT_EQ(f.others(), QStringList());
    EXPECT_EQ(QDir(f.saved.path()).entryList(QDir::Files | QDir::Hidden), QStringList {"wal.dat"});
}

TEST(UpdateTrackFile, RefusesAFileWhoseLogStillHoldsRows)
{
    UpdateFixture f;
    const std::optional<QByteArray> before = f.installed();
    const QString source = f.saved.file(QStringLiteral("busy.dat"));
    QByteArray busy = writeTrackFile(source, QStringLiteral("2026-12-01"));
    busy[18] = 2;
    busy[19] = 2;
    f.saved.write(QStringLiteral("busy.dat"), busy);
    f.saved.write(QStringLiteral("busy.dat-wal"), QByteArray(4096, '\x01'));

    EXPECT_EQ(f.update(source).outcome, TrackUpdateResult::Outcome::InUse);
    ASSERT_EQ(f.sink.messages().size(), 1);
    EXPECT_TRUE(f.sink.messages().front().contains(QStringLiteral("書き込み中")));
    EXPECT_EQ(f.installed(), before);
    EXPECT_EQ(f.others(), QStringList());

    // An empty log left behind by a closed program holds nothing: the file installs.
    f.saved.write(QStringLiteral("busy.dat-wal"), QByteArray());
    f.sink.clear();
    EXPECT_EQ(f.update(source).outcome, TrackUpdateResult::Outcome::Updated);
    EXPECT_EQ(f.installed(), busy);
}

TEST(UpdateTrackFile, InstallsAFileWhereThereWasNone)
{
    UpdateFixture f;
    QFile::remove(f.app.file(kInstalled));
    const QString source = f.saved.file(QStringLiteral("new.dat"));
    const QByteArray newer = writeTrackFile(source, QStringLiteral("2026-12-01"));

    EXPECT_EQ(f.update(source).outcome, TrackUpdateResult::Outcome::Updated);
    EXPECT_EQ(f.installed(), newer);
    // Readable by everyone, as a file copied there by hand would be.
    EXPECT_EQ(QFile::permissions(f.app.file(kInstalled)) & 0x7077,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

TEST(UpdateTrackFile, KeepsThePermissionsOfTheReplacedFile)
{
    UpdateFixture f;
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(f.app.file(kInstalled), permissions));
    const QString source = f.saved.file(QStringLiteral("new.dat"));
    writeTrackFile(source, QStringLiteral("2026-12-01"));

    EXPECT_EQ(f.update(source).outcome, TrackUpdateResult::Outcome::Updated);
    EXPECT_EQ(QFile::permissions(f.app.file(kInstalled)) & 0x7077, permissions);
}

TEST(UpdateTrackFile, AsksForAFileWhenNoneWasChosen)
{
    UpdateFixture f;
    EXPECT_EQ(f.update(QString()).outcome, TrackUpdateResult::Outcome::NoFileChosen);
    EXPECT_EQ(f.sink.messages(), QStringList {QStringLiteral("更新ファイルを選択してください")});
    EXPECT_EQ(f.installed(), f.installedBytes);
}

TEST(UpdateTrackFile, ReportsAFileThatIsNoDatabaseAndKeepsTheInstalledOne)
{
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"text", "this is not a database\n"},
        {"empty", QByteArray()},
        {"SQLite header only", QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\x01')},
        {"Jet header and rubbish",
            QByteArray("\x00\x01\x00\x00Standard Jet DB\x00\x01", 21) + QByteArray(4000, '\x5a')},
    };
    for (const auto &c : cases) {
        UpdateFixture f;
        const QString source = f.saved.write(QStringLiteral("broken.dat"), c.bytes);

        EXPECT_EQ(f.update(source).outcome, TrackUpdateResult::Outcome::Unopenable) << c.name;
        // One message; the reason behind it names the chosen file, not the
        // temporary copy it was checked as.
        EXPECT_EQ(f.sink.messages(), QStringList {kCannotOpen}) << c.name;
        EXPECT_TRUE(f.sink.details().value(0).contains(source))
            << c.name << f.sink.details().value(0).toStdString();
        EXPECT_EQ(f.installed(), f.installedBytes) << c.name;
        EXPECT_EQ(f.others(), QStringList()) << c.name;
    }
}

TEST(UpdateTrackFile, ReportsAChoiceThatIsNoFile)
{
    UpdateFixture f;
    const QString missing = f.saved.file(QStringLiteral("gone.dat"));
    const QString folder = f.saved.file(QStringLiteral("folder.dat"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString pipe = f.saved.file(QStringLiteral("pipe.dat"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    // A pipe must not hang the copy waiting for a writer.
    for (const QString &source : {missing, folder, pipe}) {
        f.sink.clear();
        EXPECT_EQ(f.update(source).outcome, TrackUpdateResult::Outcome::Unopenable) << source.toStdString();
        EXPECT_EQ(f.sink.messages(), QStringList {kCannotOpen}) << source.toStdString();
        const QString why = f.sink.details().value(0);
        EXPECT_TRUE(why.contains(source)) << why.toStdString();
        // The reason is told in Japanese, not in the system's English.
        EXPECT_TRUE(why.contains(QStringLiteral("読めません"))
            || why.contains(QStringLiteral("ファイルではありません")))
            << why.toStdString();
    }
    EXPECT_EQ(f.installed(), f.installedBytes);
    EXPECT_EQ(f.others(), QStringList());
}

TEST(UpdateTrackFile, IgnoresAFileWithoutAnIssueDateSilently)
{
    const struct {
        const char *name;
        std::optional<QString> issued;
    } cases[] = {
        {"no version row", std::nullopt},
        {"the day before the first date", QStringLiteral("1899-12-30")},
        {"a date before it", QStringLiteral("1899-01-01")},
    };
    for (const auto &c : cases) {
        UpdateFixture f;
        const QString source = f.saved.file(QStringLiteral("undated.dat"));
        writeTrackFile(source, c.issued);

        EXPECT_EQ(f.update(source).outcome, TrackUpdateResult::Outcome::NoIssueDate) << c.name;
        EXPECT_TRUE(f.sink.messages().isEmpty()) << c.name << f.sink.messages().join(u'\n').toStdString();
        EXPECT_EQ(f.installed(), f.installedBytes) << c.name;
        EXPECT_EQ(f.others(), QStringList()) << c.name;
    }
}

TEST(UpdateTrackFile, RefusesADatabaseThatIsNoTrackData)
{
    UpdateFixture f;
    const QString otherDb = f.saved.file(QStringLiteral("other.dat"));
    {
        SqliteFile file(otherDb);
        file.exec(QStringLiteral("CREATE TABLE customers(name TEXT)"));
    }
    const QString badDate = f.saved.file(QStringLiteral("bad-date.dat"));
    writeTrackFile(badDate, QStringLiteral("2026/12/01 edition"));
    // A real Access file that opens through the import but holds no tables.
    const QString emptyAccess
        = f.saved.copyIn(testData(QStringLiteral("access/jet4-empty.mdb")), QStringLiteral("jet4-empty.dat"));

    for (const QString &source : {otherDb, badDate, emptyAccess}) {
        f.sink.clear();
        EXPECT_EQ(f.update(source).outcome, TrackUpdateResult::Outcome::NotTrackData) << source.toStdString();
        ASSERT_EQ(f.sink.messages().size(), 1) << source.toStdString();
        EXPECT_TRUE(f.sink.messages()[0].startsWith(
            QStringLiteral("選択したファイルは馬場情報ファイルではありません")))
            << f.sink.messages()[0].toStdString();
    }
    EXPECT_EQ(f.installed(), f.installedBytes);
    EXPECT_EQ(f.others(), QStringList());
}

TEST(UpdateTrackFile, RefusesTheInstalledFileItself)
{
    UpdateFixture f;
    const QString link = f.saved.file(QStringLiteral("link.dat"));
    ASSERT_TRUE(QFile::link(f.app.file(kInstalled), link));
    const QString spelledOtherwise = f.app.path() + QStringLiteral("./") + kInstalled;

    for (const QString &source : {f.app.file(kInstalled), link, spelledOtherwise}) {
        f.sink.clear();
        EXPECT_EQ(f.update(source).outcome, TrackUpdateResult::Outcome::SameFile) << source.toStdString();
        EXPECT_EQ(f.sink.messages(),
            QStringList {QStringLiteral(
                "選択したファイルは現在の馬場情報ファイルです。別のファイルを選択してください")});
    }
    EXPECT_EQ(f.installed(), f.installedBytes);
    EXPECT_EQ(f.others(), QStringList());
}

TEST(UpdateTrackFile, LeavesTheInstalledFileWhenTheFolderIsNotWritable)
{
    UpdateFixture f;
    const QString source = f.saved.file(QStringLiteral("new.dat"));
    writeTrackFile(source, QStringLiteral("2026-12-01"));
    TrackUpdateResult result;
    {
        ReadOnlyFolder readOnly(f.app.path());
        if (!readOnly.protects())
            GTEST_SKIP() << "this file system cannot protect a folder from the superuser";
        result = f.update(source);
    }
    EXPECT_EQ(result.outcome, TrackUpdateResult::Outcome::CopyFailed);
    EXPECT_TRUE(result.versionText.isEmpty());
    ASSERT_EQ(f.sink.messages().size(), 1);
    EXPECT_TRUE(f.sink.messages()[0].startsWith(QStringLiteral("馬場情報ファイルを更新できません")))
        << f.sink.messages()[0].toStdString();
    EXPECT_EQ(f.installed(), f.installedBytes);
    EXPECT_EQ(f.others(), QStringList());
}

TEST(UpdateTrackFile, AFailedCopyLeavesTheInstalledFileWhole)
{
    for (const auto &fault : writeFaults()) {
        SCOPED_TRACE(fault.name);
        UpdateFixture f;
        const QString source = f.saved.file(QStringLiteral("new.dat"));
        writeTrackFile(source, QStringLiteral("2026-12-01"), 300);
        const TrackUpdateResult result = updateTrackFile(f.folder(), source, f.sink, {}, fault.files);
        EXPECT_EQ(result.outcome, TrackUpdateResult::Outcome::CopyFailed);
        ASSERT_EQ(f.sink.messages().size(), 1);
        EXPECT_TRUE(f.sink.messages()[0].startsWith(QStringLiteral("馬場情報ファイルを更新できません")))
            << f.sink.messages()[0].toStdString();
        EXPECT_EQ(f.installed(), f.installedBytes);
        EXPECT_EQ(f.others(), QStringList());
    }
}

TEST(UpdateStartFolder, OpensInTheSavedFolderOnlyWhenItExists)
{
    TestFolder app;
    TestFolder elsewhere;
    const AppFolder folder(app.path());
    const QString gone = elsewhere.file(QStringLiteral("deleted"));
    const struct {
        const char *name;
        std::optional<QString> babadir;
        QString expected;
    } cases[] = {
        {"not set: C:\\ is no folder here", std::nullopt, app.path()},
        {"a folder that exists", elsewhere.path(), QDir::cleanPath(elsewhere.path())},
        {"a folder that was deleted", gone, app.path()},
        {"a relative name", QStringLiteral("."), app.path()},
        {"a file", app.file(QStringLiteral("marunoki.ini")), app.path()},
    };
    for (const auto &c : cases) {
        QFile::remove(app.file(QStringLiteral("marunoki.ini")));
        if (c.babadir) {
            ASSERT_TRUE(writeTrackDataFolder(folder, *c.babadir).ok());
        }
        EXPECT_EQ(updateStartFolder(folder), c.expected) << c.name;
    }
}
