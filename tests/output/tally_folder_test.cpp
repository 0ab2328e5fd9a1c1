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

// Each bar of the chart stands at its rate of the plot's 204 px and names its
// row, rate and value; a row's text is escaped, a grouped row goes by its group.
TEST(TallyChart, EachBarStandsAtItsRateAndNamesIt)
{
    TallyTable table;
    table.caption = QStringLiteral("平均指数 <順位別>");
    TallyRow first;
    first.label = QStringLiteral("1位 <b>");
    first.runners = 4;
    first.first = 1;
    first.second = 1;
    first.third = 1;
    TallyRow grouped;
    grouped.label = QStringLiteral("2位");
    grouped.group = QStringLiteral("東京");
    grouped.runners = 5;
    grouped.second = 1;
    table.rows = {first, grouped};
    const QString svg = QString::fromUtf8(tallyChartSvg(table));
    EXPECT_TRUE(svg.contains(QStringLiteral("<title>平均指数 &lt;順位別&gt;</title>")));
    for (const char *bar :
        {"y=\"189.0\" width=\"54.1\" height=\"51.0\" fill=\"#c0392b\"><title>1位 &lt;b&gt; 勝率 25.0",
            "height=\"102.0\" fill=\"#2e6ab0\"><title>1位 &lt;b&gt; 連対率 50.0",
            "height=\"153.0\" fill=\"#5f9e4a\"><title>1位 &lt;b&gt; 複勝率 75.0",
            "height=\"0.0\" fill=\"#c0392b\"><title>東京 勝率 0.0",
            "height=\"40.8\" fill=\"#2e6ab0\"><title>東京 連対率 20.0", ">4頭</text>", ">5頭</text>"})
        EXPECT_TRUE(svg.contains(QString::fromUtf8(bar))) << bar;
    EXPECT_FALSE(svg.contains(QStringLiteral("<b>")));
    // The scale: a line and a label at every quarter, the base line black.
    EXPECT_EQ(svg.count(QStringLiteral("%</text>")), 5);
    for (const char *label : {">0%<", ">25%<", ">50%<", ">75%<", ">100%<"})
        EXPECT_TRUE(svg.contains(QString::fromUtf8(label))) << label;
    EXPECT_TRUE(svg.contains(QStringLiteral("y1=\"240.0\" x2=\"544\" y2=\"240.0\" stroke=\"#000\"")));
}
