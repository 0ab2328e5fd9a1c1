// The print jobs as PDF files and the pictures of the views, checked the way a
// reader sees them: pages, paper and text through poppler's tools.

#include "output/race_report.h"
#include "output/view_files.h"

#include "output/hikaku_chart.h"
#include "output/report_parts.h"
#include "output/views_json.h"

#include "support/print_race.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <set>

#include <algorithm>
#include <functional>

using namespace marunoki;
using namespace marunoki::test;

namespace {

// What a poppler tool prints for a file; fails the test when it cannot run.
QString poppler(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " did not run (poppler-utils installed?)";
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct PdfInfo {
    int pages = 0;
    double width = 0;  // points
    double height = 0;
};

PdfInfo pdfInfo(const QString &path)
{
    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    PdfInfo facts;
    facts.pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    const QRegularExpressionMatch size
        = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    facts.width = size.captured(1).toDouble();
    facts.height = size.captured(2).toDouble();
    return facts;
}

QString pageText(const QString &path, int page)
{
    return poppler(QStringLiteral("pdftotext"),
        {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
            QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
}

// pdftotext joins the title's words with blanks of its own.
QString squeezed(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

class ViewFiles : public ::testing::Test {
protected:
    void load(int runners)
    {
        fillPrintRace(store, runners);
        loadEnded(context, true);
        sink.clear();
    }

    // Writes one print job's file; its pages and paper as read back.
    PdfInfo print(Status (*job)(ViewContext &, const QString &), const QString &path)
    {
        const Status written = job(context, path);
        EXPECT_TRUE(written.ok()) << written.message().toStdString();
        return pdfInfo(path);
    }

    TestFolder folder;
    RaceStore store;
    Settings settings;
    WindowViews views;
    RecordingSink sink;
    ViewContext context {store, settings, 1, views, sink};
};

constexpr double kA4Short = 595.3;
constexpr double kA4Long = 841.9;

TEST_F(ViewFiles, GraphsOfSeventeenRunnersAreOneFileOfTwoLandscapePagesEachWithTheTitle)
{
    load(17);
    const QString path = folder.file(QStringLiteral("graphs.pdf"));
    const PdfInfo pdf = print(&writeGraphsPdf, path);
    EXPECT_EQ(pdf.pages, 2);
    EXPECT_NEAR(pdf.width, kA4Long, 1);
    EXPECT_NEAR(pdf.height, kA4Short, 1);
    for (int page : {1, 2}) {
        const QString text = squeezed(pageText(path, page));
        EXPECT_TRUE(text.contains(squeezed(store.raceTitle + store.raceConditions)))
            << page << text.toStdString();
    }
    // Runner 17 alone on the second page, after the first sixteen.
    EXPECT_TRUE(pageText(path, 2).contains(store.horses[17].name));
    EXPECT_FALSE(pageText(path, 1).contains(store.horses[17].name));
    // Nothing asked of the user, and runner 1 is shown again.
    EXPECT_TRUE(sink.messages().isEmpty());
    EXPECT_EQ(views.shownRunner, 1);
}

TEST_F(ViewFiles, TableIsOnePortraitPageOfText)
{
    load(17);
    const QString path = folder.file(QStringLiteral("table.pdf"));
    const PdfInfo pdf = print(&writeTablePdf, path);
    EXPECT_EQ(pdf.pages, 1);
    EXPECT_NEAR(pdf.width, kA4Short, 1);
    EXPECT_NEAR(pdf.height, kA4Long, 1);
    const QString text = pageText(path, 1);
    // pdftotext may put the title's two halves in columns of their own.
    EXPECT_TRUE(squeezed(text).contains(squeezed(store.raceTitle)));
    EXPECT_TRUE(squeezed(text).contains(squeezed(store.raceConditions)));
    for (int n : {1, 9, 17})
        EXPECT_TRUE(text.contains(store.horses[n].name)) << n;
    // Drawn, not pasted: the page holds no picture at all.
    const QStringList images = poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                                   .split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << "only the list's two header lines";
}

TEST_F(ViewFiles, PicturesOfEveryRunnerTheComparisonAndTheTable)
{
    load(17);
    const QString dir = folder.file(QStringLiteral("png/nested"));
    const Status written = writeViewPngs(context, dir);
    ASSERT_TRUE(written.ok()) << written.message().toStdString();

    QStringList expected;
    for (int n = 1; n <= 17; ++n)
        expected << QStringLiteral("graph-%1.png").arg(n, 2, 10, QLatin1Char('0'));
    expected << QStringLiteral("bacyu.png") << QStringLiteral("hikaku.png");
    expected.sort();
    EXPECT_EQ(QDir(dir).entryList(QDir::Files, QDir::Name), expected) << "and nothing else";

    // At 144 dpi, a tenth of the twips: the graph box and the legend beside it
    // (9135 + 900 twips wide, as high as the higher of the two), the table's
    // 14500 twips.
    const QImage graph(dir + QStringLiteral("/graph-17.png"));
    EXPECT_NEAR(graph.width(), (9135 + 900) / 10.0, 1);
    EXPECT_NEAR(graph.height(), std::max(views.graphBox.height(), views.legendBox.height()) / 10.0, 1);
    EXPECT_NEAR(graph.dotsPerMeterX() * 0.0254, 144, 0.5);
    EXPECT_NEAR(QImage(dir + QStringLiteral("/bacyu.png")).width(), 1450, 1);
    // The comparison as the report draws it, runner 1 thick whichever runner
    // was drawn last.
    EXPECT_EQ(QImage(dir + QStringLiteral("/hikaku.png")).convertToFormat(QImage::Format_RGB32),
        hikakuChartImage(store, settings, 1, raceHeadingOf(store, views.raceInfo)));
    // The graph is drawn: far from a blank picture.
    int coloured = 0;
    for (int y = 0; y < graph.height(); y += 4)
        for (int x = 0; x < graph.width(); x += 4)
            coloured += graph.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_GT(coloured, 1000);
    // Drawn from the picture's first pixel: the legend's frame falls on the
    // next-to-last column and the first line at a quarter of the width on the
    // fourth row, with the background beside both.
    const int w = graph.width();
    const int h = graph.height();
    EXPECT_LT(qGray(graph.pixel(w - 2, h / 2)), 64);
    EXPECT_EQ(graph.pixel(w - 3, h / 2), qRgb(255, 255, 255));
    EXPECT_LT(qGray(graph.pixel(w / 4, 3)), 96);
    EXPECT_GT(qGray(graph.pixel(w / 4, 2)), 200);
    EXPECT_GT(qGray(graph.pixel(w / 4, 4)), 200);
}

// Printed, the report's 馬柱 fills the width of the page in shares of it, one
// for each of its 16 columns, adding up to the whole; the other wide tables are
// zoomed to an A4 page between 6 mm margins (198 mm at 96 CSS pixels an inch,
// less 8 pixels: 740.3).
TEST_F(ViewFiles, ReportTablesWiderThanThePageAreFittedToItInPrint)
{
    load(3);
    const QString dir = folder.file(QStringLiteral("report"));
    const Status written = writeRaceReport(context, dir);
    ASSERT_TRUE(written.ok()) << written.message().toStdString();
    QFile index(dir + u'/' + kReportIndex);
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(index.readAll());
    EXPECT_FALSE(html.contains(QStringLiteral("table.bacyu{zoom:0"))) << html.left(2000).toStdString();
    const QRegularExpression share(
        QStringLiteral("table\\.bacyu col:nth-child\\(([0-9]+)\\)\\{width:([0-9.]+)%"));
    std::set<int> columns;
    double whole = 0;
    for (const QRegularExpressionMatch &m : share.globalMatch(html)) {
        columns.insert(m.captured(1).toInt());
        whole += m.captured(2).toDouble();
    }
    EXPECT_EQ(columns.size(), 16U);
    EXPECT_EQ(*columns.begin(), 1);
    EXPECT_EQ(*columns.rbegin(), 16);
    EXPECT_NEAR(whole, 100, 0.05);
    const QRegularExpression zoom(QStringLiteral("table\\.seiseki\\{zoom:([0-9.]+)\\}"));
    const QRegularExpressionMatch seiseki = zoom.match(html);
    ASSERT_TRUE(seiseki.hasMatch());
    EXPECT_GT(seiseki.captured(1).toDouble(), 0.5);
    EXPECT_LT(seiseki.captured(1).toDouble(), 1);
}

TEST_F(ViewFiles, AFailedOutputNamesItsFileAndLeavesNothingBehind)
{
    load(3);
    const QString blocker = folder.write(QStringLiteral("blocker"), "keep me");
    using Writer = std::function<Status(ViewContext &, const QString &)>;
    struct Case {
        const char *name;
        Writer write;
        QString path;
    };
    const QString missing = folder.file(QStringLiteral("missing/out"));
    const Case cases[] = {
        {"graphs pdf", &writeGraphsPdf, missing},
        {"table pdf", &writeTablePdf, missing},
        {"views json", &writeViewsJson, missing},
        {"pictures into a file", &writeViewPngs, blocker},
        {"report into a file", [](ViewContext &c, const QString &p) { return writeRaceReport(c, p); },
            blocker},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Status status = c.write(context, c.path);
        EXPECT_FALSE(status.ok());
        EXPECT_TRUE(status.message().contains(c.path)) << status.message().toStdString();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList {QStringLiteral("blocker")});
        QFile kept(blocker);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("keep me"));
    }
}

}  // namespace
