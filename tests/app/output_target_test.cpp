#include "app/atomic_file.h"
#include "app/file_name.h"
#include "app/output_target.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <dirent.h>
#include <unistd.h>

using namespace marunoki;
using namespace marunoki::test;

// Every way of naming one of the application folder's own files, or its cache,
// is refused; names beside them are not.
TEST(CheckOutputTarget, RefusesTheFoldersOwnFilesUnderAnyName)
{
    TestFolder top;
    const QString app = top.file(QStringLiteral("app/"));
    QDir().mkpath(app + QStringLiteral("cache/pages"));
    QDir().mkpath(app + QStringLiteral("sub"));
    QDir().mkpath(top.file(QStringLiteral("elsewhere")));
    top.write(QStringLiteral("app/marunoki.dat"), "track data");
    top.write(QStringLiteral("app/marunoki.ini"), "[web]\n");
    QFile::link(app, top.file(QStringLiteral("link-to-app")));
    QFile::link(app + QStringLiteral("marunoki.dat"), top.file(QStringLiteral("elsewhere/db-link.json")));
    QFile::link(app + QStringLiteral("cache"), top.file(QStringLiteral("elsewhere/cache-link")));
    ASSERT_EQ(::link(QFile::encodeName(app + QStringLiteral("marunoki.ini")).constData(),
                  QFile::encodeName(top.file(QStringLiteral("elsewhere/hard.json"))).constData()),
        0);
    const AppFolder folder(app);

    const struct {
        QString path;
        bool refused;
    } cases[] = {
        {app + QStringLiteral("marunoki.dat"), true},
        {app + QStringLiteral("NAR_data.mdb"), true},  // not there yet, still the folder's
        {app + QStringLiteral("journal.sqlite"), true},
        {app + QStringLiteral("marunoki.dat-wal"), true},
        {app + QStringLiteral("sub/../marunoki.ini"), true},
        {app + QStringLiteral("sub/../sub/../marunoki.dat"), true},
        {top.file(QStringLiteral("link-to-app/marunoki.dat")), true},
        {top.file(QStringLiteral("link-to-app/NAR_data.mdb")), true},
        {top.file(QStringLiteral("elsewhere/db-link.json")), true},
        {top.file(QStringLiteral("elsewhere/hard.json")), true},
        {app + QStringLiteral("marunoki.dat/graphs"), true},  // a folder output on the way
        {app + QStringLiteral("NAR_data.mdb/graphs"), true},
        {app + QStringLiteral("cache"), true},
        {app + QStringLiteral("cache/"), true},
        {app + QStringLiteral("cache/x.html"), true},
        {app + QStringLiteral("cache/pages/new/report"), true},
        {top.file(QStringLiteral("elsewhere/cache-link/page.json")), true},
        {top.file(QStringLiteral("link-to-app/sub/../cache/x")), true},
        {app + QStringLiteral("race.json"), false},
        {app + QStringLiteral("sub/marunoki.dat"), false},
        {app + QStringLiteral("cache.json"), false},
        {app, false},
        {top.file(QStringLiteral("elsewhere/race.json")), false},
        {QStringLiteral("-"), false},
    };
    for (const auto &c : cases) {
        const Status status = checkOutputTarget(folder, c.path);
        EXPECT_EQ(!status.ok(), c.refused) << c.path.toStdString();
        if (c.refused) {
            EXPECT_TRUE(status.message().contains(QStringLiteral("アプリケーションフォルダ")))
                << status.message().toStdString();
        }
    }
    // A relative path is taken from the working folder.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(app + QStringLiteral("sub")));
    EXPECT_FALSE(checkOutputTarget(folder, QStringLiteral("../marunoki.dat")).ok());
    EXPECT_TRUE(checkOutputTarget(folder, QStringLiteral("marunoki.dat")).ok());
    ASSERT_TRUE(QDir::setCurrent(before));
}

// A name's bytes survive the round trip, whatever they are, and a file written
// under it has exactly those bytes.
TEST(FileName, KeepsBytesThatAreNotUtf8)
{
    const QByteArray names[] = {
        "race.json",
        "出馬表.json",
        "\xff\xfe.json",
        "\x8f\x6f\x94\x6e\x95\x5c.json",  // Shift_JIS
        "cut\xe5\x87",
        "\xc0\xaf overlong",
        "\xed\xa0\x80 surrogate",
        "\xf0\x9f\x90\x8e horse",
        "\xf4\x90\x80\x80 past the last code point",
        "\x81\x80\x80\x80 continuation bytes alone",
        "\xf9\x80\x80\x80 a five-byte lead",
    };
    TestFolder folder;
    for (const QByteArray &name : names) {
        const QString decoded = fileNameFromBytes(name);
        EXPECT_EQ(fileNameBytes(decoded), name) << name.toStdString();
        const bool utf8 = QString::fromUtf8(name).toUtf8() == name;
        if (utf8) {
            EXPECT_EQ(decoded, QString::fromUtf8(name));
        }
        // A name Qt cannot read is known as such, and shown byte for byte.
        EXPECT_EQ(hasKeptBytes(decoded), !utf8) << name.toStdString();
        EXPECT_EQ(shownFileName(decoded).toUtf8().contains('?'), false) << name.toStdString();
        ASSERT_TRUE(writeFileAtomically(folder.path() + decoded, "x").ok()) << name.toStdString();
        EXPECT_EQ(::access((QFile::encodeName(folder.path()) + name).constData(), F_OK), 0)
            << name.toStdString();
    }
    EXPECT_EQ(shownFileName(fileNameFromBytes("\xff\xfe.json")), QStringLiteral("\\xFF\\xFE.json"));
    EXPECT_EQ(shownFileName(fileNameFromBytes("出馬表\x8f.json")), QStringLiteral("出馬表\\x8F.json"));
    // Nothing else was written: one file per name, no stray temporaries.
    DIR *dir = ::opendir(QFile::encodeName(folder.path()).constData());
    ASSERT_NE(dir, nullptr);
    int files = 0;
    while (const dirent *entry = ::readdir(dir))
        files += entry->d_name[0] != '.';
    ::closedir(dir);
    EXPECT_EQ(files, int(std::size(names)));
    for (const QByteArray &name : names)
        ::unlink((QFile::encodeName(folder.path()) + name).constData());  // Qt cannot remove all of them
}
