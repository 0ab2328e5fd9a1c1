// The tally's HTML folder: written again over a tally of its own, and refused,
// with nothing changed, where it holds anything the program did not write.

#include "output/tally_files.h"

#include "support/test_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>

using namespace marunoki;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

TEST(TallyFolder, WritesOverItsOwnTallyAndRefusesAnyOtherFile)
{
    Tally tally;
    TallyTable marks;
    marks.key = TallyKey::Mark;
    marks.caption = QStringLiteral("印別成績");
    TallyRow honmei;
    honmei.label = QStringLiteral("◎");
    honmei.runners = 2;
    honmei.first = honmei.second = 1;
    marks.rows = {honmei};
    tally.tables.push_back(marks);
    const struct {
        const char *what;
        std::function<void(const QString &folder)> prepare;  // folder has no trailing slash
        const char *refusedFile;  // named in the message; null: written
    } cases[] = {
        {"a folder not there yet", [](const QString &) {}, nullptr},
        {"an empty folder", [](const QString &f) { QDir().mkpath(f); }, nullptr},
        {"a tally written before", [&tally](const QString &f) { ASSERT_TRUE(writeTallyHtml(f, tally).ok()); },
            nullptr},
        {"a report's index.html",
            [](const QString &f) {
                QDir().mkpath(f);
                writeFile(f + QStringLiteral("/index.html"), "<title>東京11R</title>");
            },
            "index.html"},
        {"the user's own file beside a tally",
            [&tally](const QString &f) {
                ASSERT_TRUE(writeTallyHtml(f, tally).ok());
                writeFile(f + QStringLiteral("/notes.txt"), "mine");
            },
            "notes.txt"},
        {"a FIFO named index.html",
            [](const QString &f) {
                QDir().mkpath(f);
                ASSERT_EQ(
                    ::mkfifo(QFile::encodeName(f + QStringLiteral("/index.html")).constData(), 0600), 0);
            },
            "index.html"},
        {"a link named tally-1.svg",
            [](const QString &f) {
                QDir().mkpath(f);
                ASSERT_TRUE(QFile::link(QStringLiteral("/etc/hostname"), f + QStringLiteral("/tally-1.svg")));
            },
            "tally-1.svg"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        test::TestFolder root;
        const QString folder = root.file(QStringLiteral("tally"));
        c.prepare(folder);
        const QStringList before = QDir(folder).entryList(QDir::Files | QDir::System);
        const Status written = writeTallyHtml(folder, tally);
        if (c.refusedFile == nullptr) {
            EXPECT_TRUE(written.ok()) << written.message().toStdString();
            EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/tally-1.svg")));
            continue;
        }
        EXPECT_FALSE(written.ok());
        EXPECT_TRUE(written.message().contains(QString::fromLatin1(c.refusedFile)))
            << written.message().toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::System), before);
    }
}
