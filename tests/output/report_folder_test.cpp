#include "output/race_report.h"
#include "output/report_folder.h"
#include "support/fuse_mirror.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <functional>
#include <map>
#include <optional>

using namespace marunoki;
using namespace marunoki::test;

namespace {

using Files = std::map<QString, QByteArray>;

// The regular files under folder (one level) and their bytes; hidden names too.
Files filesIn(const QString &folder)
{
    Files files;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir.filePath(name));
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }
    return files;
}

void writeAll(const QString &folder, const Files &files)
{
    QDir().mkpath(folder);
    for (const auto &[name, bytes] : files) {
        QFile file(folder + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
}

}  // namespace

// A report is replaced whole or not at all, and only report files ever go:
// whatever the folder held before, and wherever writing the new one stopped;
// also on a file system that cannot exchange two folders in one step.
TEST(ReportFolder, ReplacesTheOldReportWholeOrLeavesItWhole)
{
    const Files oldReport {{QStringLiteral("index.html"), "old race"},
        {QStringLiteral("graph-01.svg"), "old 1"}, {QStringLiteral("graph-17.svg"), "old 17"},
        {QStringLiteral("hikaku.svg"), "old hikaku"}};
    const Files newReport {{QStringLiteral("index.html"), "new race"},
        {QStringLiteral("graph-01.svg"), "new 1"}, {QStringLiteral("hikaku.svg"), "new hikaku"}};
    Files shared = oldReport;
    shared[QStringLiteral("notes.txt")] = "the user's";
    Files sharedAfter = shared;
    for (const auto &[name, bytes] : newReport)
        sharedAfter[name] = bytes;

    const struct {
        const char *what;
        std::function<void(const TestFolder &top)> before;
        const char *target;  // relative to the test folder
        bool finish;  // false: writing stops part-way, nothing is swapped in
        Files expected;  // in the real folder afterwards
        const char *real;  // where the report really lies
    } cases[] = {
        {"a new folder", [](const TestFolder &) {}, "report", true, newReport, "report"},
        {"an old report",
            [&](const TestFolder &top) { writeAll(top.file(QStringLiteral("report")), oldReport); }, "report",
            true, newReport, "report"},
        {"an old report, writing stopped part-way",
            [&](const TestFolder &top) { writeAll(top.file(QStringLiteral("report")), oldReport); }, "report",
            false, oldReport, "report"},
        {"a folder shared with the user's files",
            [&](const TestFolder &top) { writeAll(top.file(QStringLiteral("report")), shared); }, "report",
            true, sharedAfter, "report"},
        {"a shared folder, writing stopped part-way",
            [&](const TestFolder &top) { writeAll(top.file(QStringLiteral("report")), shared); }, "report",
            false, shared, "report"},
        {"a link to the old report",
            [&](const TestFolder &top) {
                writeAll(top.file(QStringLiteral("real")), oldReport);
                QFile::link(top.file(QStringLiteral("real")), top.file(QStringLiteral("report")));
            },
            "report", true, newReport, "real"},
        {"a parent not there yet", [](const TestFolder &) {}, "day/01R", true, newReport, "day/01R"},
    };
    bool mirrorMounted = true;
    for (const bool withoutExchange : {false, true})
        for (const auto &c : cases) {
            SCOPED_TRACE(c.what);
            SCOPED_TRACE(withoutExchange ? "without exchange" : "");
            TestFolder top;
            std::optional<FuseMirror> mirror;
            if (withoutExchange && !mirror.emplace(top.path()).mounted()) {
                mirrorMounted = false;
                break;
            }
            c.before(top);
            const QStringList around = QDir(top.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            {
                ReportFolder report(top.file(QString::fromLatin1(c.target)), &isReportFileName);
                ASSERT_TRUE(report.opened().ok()) << report.opened().message().toStdString();
                writeAll(
                    report.path(), c.finish ? newReport : Files {{QStringLiteral("graph-01.svg"), "new 1"}});
                if (c.finish) {
                    const Status swapped = report.swapIn();
                    ASSERT_TRUE(swapped.ok()) << swapped.message().toStdString();
                    // Once in, it stays: a second swap is refused and touches nothing.
                    EXPECT_TRUE(report.swapIn().message().contains(QStringLiteral("置き換え済み")));
                }
            }
            EXPECT_EQ(filesIn(top.file(QString::fromLatin1(c.real))), c.expected);
            // No new or old folder is left beside it.
            QStringList after
                = QDir(top.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            if (around.isEmpty())
                after.removeAll(QString::fromLatin1(c.target).section(u'/', 0, 0));
            EXPECT_EQ(after, around);
            EXPECT_TRUE(QFileInfo(top.file(QString::fromLatin1(c.target))).isDir());
        }

    // A file where the folder should be is refused and kept.
    TestFolder top;
    const QString file = top.write(QStringLiteral("report"), "a file");
    ReportFolder report(file, &isReportFileName);
    EXPECT_FALSE(report.opened().ok());
    EXPECT_FALSE(report.swapIn().ok());
    // So is a folder whose parent cannot be made because that file is in its way.
    ReportFolder below(file + QStringLiteral("/day/01R"), &isReportFileName);
    EXPECT_TRUE(below.opened().message().contains(QStringLiteral("を作成できません")));
    EXPECT_FALSE(below.swapIn().ok());
    EXPECT_EQ(filesIn(top.path()), (Files {{QStringLiteral("report"), "a file"}}));
    if (!mirrorMounted)
        GTEST_SKIP() << "bindfs cannot mount here: the file system without exchange went untried";
}
