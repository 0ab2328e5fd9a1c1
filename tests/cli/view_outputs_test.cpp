// The views of the bundled sample race as files: the views dump against the
// window's own view models, hand-checked cells of every grid, and the report.

#include "app/format.h"
#include "driver/journal_recorder.h"
#include "driver/load_driver.h"
#include "output/day_report.h"
#include "output/race_report.h"
#include "output/report_grids.h"
#include "output/views_json.h"
#include "settings/settings.h"
#include "view/runner_panels.h"
#include "web/page_archive.h"
#include "web/page_loader.h"

#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace marunoki::test {
namespace {

QString lf(QString caption)
{
    return caption.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

// Style entries of a dumped grid by (row, column).
std::map<std::pair<int, int>, QJsonObject> stylesOf(const QJsonObject &grid)
{
    std::map<std::pair<int, int>, QJsonObject> styles;
    for (const QJsonValue &entry : grid[QStringLiteral("style")].toArray())
        styles[{entry[QStringLiteral("r")].toInt(), entry[QStringLiteral("c")].toInt()}] = entry.toObject();
    return styles;
}

QString cellText(const QJsonObject &grid, int row, int col)
{
    return grid[QStringLiteral("text")].toArray()[row].toArray()[col].toString();
}

// The dumped grid holds every cell of the model: its text, and a style entry
// exactly for the cells that are not black on white, regular, at the base size.
void expectSameGrid(const QJsonObject &dumped, const CellGrid &model, const char *name)
{
    SCOPED_TRACE(name);
    ASSERT_EQ(dumped[QStringLiteral("rows")].toInt(), model.rows());
    ASSERT_EQ(dumped[QStringLiteral("cols")].toInt(), model.cols());
    const auto styles = stylesOf(dumped);
    int plain = 0;
    for (int r = 0; r < model.rows(); ++r) {
        for (int c = 0; c < model.cols(); ++c) {
            const GridCell &cell = *model.at(r, c);
            EXPECT_EQ(cellText(dumped, r, c), cell.text) << r << "," << c;
            const double size = cell.fontSize > 0 ? cell.fontSize : model.baseFontSize;
            const bool styled = cell.foreground != QColor(Qt::black) || cell.background != QColor(Qt::white)
                || cell.bold || size != model.baseFontSize;
            const auto found = styles.find({r, c});
            if (!styled) {
                EXPECT_EQ(found, styles.end()) << r << "," << c;
                ++plain;
                continue;
            }
            ASSERT_NE(found, styles.end()) << r << "," << c;
            const QJsonObject &style = found->second;
            EXPECT_EQ(QColor(style[QStringLiteral("fore")].toString()), cell.foreground) << r << "," << c;
            EXPECT_EQ(QColor(style[QStringLiteral("back")].toString()), cell.background) << r << "," << c;
            EXPECT_EQ(style[QStringLiteral("bold")].toBool(), cell.bold) << r << "," << c;
            EXPECT_DOUBLE_EQ(style[QStringLiteral("size")].toDouble(), size) << r << "," << c;
        }
    }
    EXPECT_EQ(int(styles.size()), model.rows() * model.cols() - plain);
}

// A dumped drawing holds the retained drawing primitive by primitive, in the
// units and names of the dump.
void expectSameDrawing(const QJsonObject &dumped, const RecordedDrawing &model, const char *name)
{
    SCOPED_TRACE(name);
    EXPECT_EQ(dumped[QStringLiteral("width")].toDouble(), model.width());
    EXPECT_EQ(dumped[QStringLiteral("height")].toDouble(), model.height());
    const QJsonArray ops = dumped[QStringLiteral("ops")].toArray();
    ASSERT_EQ(ops.size(), qsizetype(model.primitives().size()));
    const char *const kinds[] = {"line", "box", "fill", "circle", "text"};
    const char *const styles[] = {"solid", "dot", "dashdot"};
    for (qsizetype i = 0; i < ops.size(); ++i) {
        SCOPED_TRACE(i);
        const QJsonObject op = ops[i].toObject();
        const DrawPrimitive &p = model.primitives()[size_t(i)];
        const auto number = [&op](const char *key) { return op[QLatin1String(key)].toDouble(); };
        EXPECT_EQ(op[QStringLiteral("kind")].toString(), QLatin1String(kinds[int(p.kind)]));
        EXPECT_EQ(number("x1"), p.x1);
        EXPECT_EQ(number("y1"), p.y1);
        if (p.kind == PrimitiveKind::Text) {
            EXPECT_EQ(op[QStringLiteral("text")].toString(), p.text);
            EXPECT_EQ(number("size"), p.points);
            EXPECT_EQ(op.size(), 5);
            continue;
        }
        const QString colour = op[QStringLiteral("color")].toString();
        EXPECT_EQ(colour, colour.toUpper());
        EXPECT_EQ(QColor(colour), p.colour);
        EXPECT_EQ(op[QStringLiteral("width")].toInt(-1), p.pen.drawWidth);
        EXPECT_EQ(op[QStringLiteral("style")].toString(), QLatin1String(styles[int(p.pen.drawStyle)]));
        if (p.kind == PrimitiveKind::Circle) {
            EXPECT_EQ(number("r"), p.radius);
            const QJsonValue fill = op[QStringLiteral("fill")];
            if (p.pen.fillStyle == FillStyle::Solid)
                EXPECT_EQ(QColor(fill.toString()), p.pen.fillColor);
            else
                EXPECT_TRUE(fill.isNull());
            EXPECT_EQ(op.size(), 8);
        } else {
            EXPECT_EQ(number("x2"), p.x2);
            EXPECT_EQ(number("y2"), p.y2);
            EXPECT_EQ(op.size(), 8);
        }
    }
}

class SampleRaceViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *name : {"marunoki.dat", "NAR_data.mdb", "marunoki.ini"})
            app.copyIn(sourceFile(QStringLiteral("samples/") + QLatin1String(name)), QLatin1String(name));
        settings = readSettings(AppFolder(app.path()), sink);
        const PageArchive archive(sourceFile(QStringLiteral("samples/site1")));
        OfflinePageSource source(archive);
        struct : ProgressSink {
            void status(const QString &) override { }
        } progress;
        LoadContext load {store, settings, AppFolder(app.path()), source, progress, sink};
        const RaceSelection selection {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"),
            QStringLiteral("09"), QStringLiteral("11"), ReadingSite::One};
        ASSERT_TRUE(runLoad(selection, load).analysed) << sink.messages().join(u'\n').toStdString();
        ASSERT_GE(store.fieldSize, 2);
        loadEnded(context, true);
        sink.clear();
    }

    QJsonObject runnerDump(const QJsonObject &dump, int n) const
    {
        return dump[QStringLiteral("runners")].toArray()[n - 1].toObject();
    }

    TestFolder app;
    RaceStore store;
    Settings settings;
    RecordingSink sink;
    WindowViews views;
    ViewContext context {store, settings, 0, views, sink};
};

TEST_F(SampleRaceViews, DumpHoldsWhatTheWindowShowsForEveryRunner)
{
    const QJsonObject dump = viewsJson(context);
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'\n').toStdString();
    // The window shows runner 1's graph again, as before the dump.
    EXPECT_EQ(views.shownRunner, 1);
    EXPECT_FALSE(views.bacyuGrid.visible);

    // A second window, driven as the user drives it: each runner shown with the
    // table switch on, then the 馬柱 button.
    WindowViews window;
    ViewContext shown {store, settings, 1, window, sink};
    const QJsonArray runners = dump[QStringLiteral("runners")].toArray();
    ASSERT_EQ(runners.size(), store.fieldSize);
    for (int n = 1; n <= store.fieldSize; ++n) {
        SCOPED_TRACE(n);
        window.shownRunner = n;
        showGraph(shown);
        const QJsonObject runner = runnerDump(dump, n);
        EXPECT_EQ(runner[QStringLiteral("uma")].toInt(), n);
        EXPECT_EQ(runner[QStringLiteral("Label7")].toString(), lf(window.umaInfo));
        expectSameGrid(runner[QStringLiteral("MSFlexGrid2")].toObject(), window.runGrid, "MSFlexGrid2");
        expectSameGrid(runner[QStringLiteral("MSFlexGrid1")].toObject(), window.taisenGrid, "MSFlexGrid1");
    }
    const QString raceCaption = dump[QStringLiteral("Label1")].toString();
    EXPECT_EQ(raceCaption, lf(window.raceInfo));
    EXPECT_EQ(raceCaption, store.raceTitle + u'\n' + store.raceConditions);
    switchToBacyu(shown);
    expectSameGrid(dump[QStringLiteral("MSFlexGrid3")].toObject(), window.bacyuGrid, "MSFlexGrid3");
}

TEST_F(SampleRaceViews, DrawingsInTheDumpAreWhatTheWindowPaintsWithEveryOverlay)
{
    settings.iniGraph.fill(QStringLiteral("true"));
    const QJsonObject dump = QJsonDocument::fromJson(QJsonDocument(viewsJson(context)).toJson()).object();
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'\n').toStdString();

    WindowViews window;
    ViewContext shown {store, settings, 1, window, sink};
    QSet<QString> seen;  // kinds, line styles and fills met: every overlay drew
    for (int n = 1; n <= store.fieldSize; ++n) {
        window.shownRunner = n;
        showGraph(shown);
        SCOPED_TRACE(n);
        expectSameDrawing(runnerDump(dump, n)[QStringLiteral("graph")].toObject(), window.graphBox, "graph");
        if (n == 1)
            expectSameDrawing(dump[QStringLiteral("legend")].toObject(), window.legendBox, "legend");
        for (const QJsonValue op :
            runnerDump(dump, n)[QStringLiteral("graph")][QStringLiteral("ops")].toArray()) {
            seen << op[QStringLiteral("kind")].toString() << op[QStringLiteral("style")].toString();
            if (op[QStringLiteral("kind")] == QStringLiteral("circle"))
                seen << (op[QStringLiteral("fill")].isNull() ? QStringLiteral("open")
                                                             : QStringLiteral("filled"));
        }
    }
    for (const char *expected :
        {"line", "box", "fill", "circle", "text", "solid", "dot", "dashdot", "open", "filled"})
        EXPECT_TRUE(seen.contains(QLatin1String(expected))) << expected;
    EXPECT_GT(dump[QStringLiteral("legend")][QStringLiteral("ops")].toArray().size(), 0);

    // The comparison graph: the 比較 button with runner 1 in the runner box.
    window.runnerBox = QStringLiteral("01");
    switchToHikaku(shown);
    expectSameDrawing(dump[QStringLiteral("hikaku")].toObject(), window.graphBox, "hikaku");
    // The dump leaves the window as it was: runner 1's graph.
    EXPECT_EQ(views.drawn, DrawnView::Graph);
    EXPECT_EQ(views.shownRunner, 1);
}

TEST_F(SampleRaceViews, HandCheckedCellsOfEveryGrid)
{
    const QJsonObject dump = viewsJson(context);
    const QJsonObject bacyu = dump[QStringLiteral("MSFlexGrid3")].toObject();
    const auto bacyuStyles = stylesOf(bacyu);

    // A figure computed without a track variant: grey and emphasised in the
    // per-run grid, at the row of its run.
    int greyFound = 0;
    for (int n = 1; n <= store.fieldSize; ++n) {
        const QJsonObject grid = runnerDump(dump, n)[QStringLiteral("MSFlexGrid2")].toObject();
        const auto styles = stylesOf(grid);
        for (int r = 1; r < grid[QStringLiteral("rows")].toInt() && r <= kMaxRuns; ++r) {
            if (store.horses[n].runs[r].speedFigure == 0 || store.horses[n].runs[r].trackVariant != 0
                || store.horses[n].runs[r].date == 0)
                continue;
            SCOPED_TRACE(QStringLiteral("runner %1 run %2").arg(n).arg(r).toStdString());
            ++greyFound;
            EXPECT_EQ(cellText(grid, r, 4).toInt(), qRound(store.horses[n].runs[r].speedFigure));
            ASSERT_EQ(styles.count({r, 4}), 1U);
            EXPECT_EQ(styles.at({r, 4})[QStringLiteral("fore")].toString(), QStringLiteral("#808080"));
            EXPECT_TRUE(styles.at({r, 4})[QStringLiteral("bold")].toBool());
        }
    }
    EXPECT_GT(greyFound, 0) << "the sample race has runs without a variant";

    // Two wins and one loss against a rival read 67%; the totals row is yellow.
    int twoToOne = 0;
    for (int h = 1; h <= store.fieldSize; ++h) {
        const QJsonObject grid = runnerDump(dump, h)[QStringLiteral("MSFlexGrid1")].toObject();
        for (int k = 1; k <= store.fieldSize; ++k) {
            if (k != h && store.horses[h].headToHead[k].ahead == 2
                && store.horses[h].headToHead[k].behind == 1) {
                ++twoToOne;
                EXPECT_EQ(cellText(grid, k, 4), QStringLiteral("67%")) << h << " against " << k;
            }
        }
        const auto styles = stylesOf(grid);
        for (int c = 0; c < 6; ++c) {
            ASSERT_EQ(styles.count({19, c}), 1U) << h << " totals column " << c;
            EXPECT_EQ(styles.at({19, c})[QStringLiteral("back")].toString(), QStringLiteral("#FFFF00"));
        }
        EXPECT_EQ(cellText(grid, 19, 1), QStringLiteral("計"));
    }
    EXPECT_GT(twoToOne, 0) << "the sample race has a 2-1 head-to-head record";

    // In the 馬柱, runner n's block starts at row 5 (n - 1): the best mean is red
    // and bold, every name bold.
    int best = 0;
    for (int n = 1; n <= store.fieldSize; ++n) {
        SCOPED_TRACE(n);
        const int top = 5 * (n - 1);
        EXPECT_EQ(cellText(bacyu, top + 1, 2), store.horses[n].name);
        ASSERT_EQ(bacyuStyles.count({top + 1, 2}), 1U);
        EXPECT_TRUE(bacyuStyles.at({top + 1, 2})[QStringLiteral("bold")].toBool());
        if (store.horses[n].meanFigure.value != store.topMeans[1])
            continue;
        ++best;
        ASSERT_EQ(bacyuStyles.count({top, 4}), 1U);
        EXPECT_EQ(bacyuStyles.at({top, 4})[QStringLiteral("fore")].toString(), QStringLiteral("#FF0000"));
        EXPECT_TRUE(bacyuStyles.at({top, 4})[QStringLiteral("bold")].toBool());
    }
    EXPECT_GE(best, 1);
}

// What a program prints for a file; fails the test when it cannot run.
QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " did not run (scripts/install-deps.sh installs it)";
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST_F(SampleRaceViews, ReportIsWellFormedWithEveryRunnerAndEveryFileItNames)
{
    TestFolder out;
    const QString folder = out.file(QStringLiteral("report"));
    const Status written = writeRaceReport(store, settings, folder, sink);
    ASSERT_TRUE(written.ok()) << written.message().toStdString();

    QFile index(folder + QStringLiteral("/index.html"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QByteArray html = index.readAll();
    ASSERT_TRUE(html.startsWith("<!DOCTYPE html>"));
    QXmlStreamReader xml(html);
    QSet<QString> ids;
    QStringList files;
    QStringList anchors;
    int tables = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (attributes.hasAttribute(QStringLiteral("id")))
            ids.insert(attributes.value(QStringLiteral("id")).toString());
        if (xml.name() == QStringLiteral("img"))
            files << attributes.value(QStringLiteral("src")).toString();
        if (xml.name() == QStringLiteral("a"))
            anchors << attributes.value(QStringLiteral("href")).toString();
        tables += xml.name() == QStringLiteral("table");
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
    const QString page = QString::fromUtf8(html);
    EXPECT_TRUE(page.contains(QStringLiteral("<h1>2026/11/29 東京 11R %1</h1>").arg(store.raceTitle)));
    EXPECT_TRUE(page.contains(QStringLiteral("地方成績: 含む")));
    // The 馬柱 explains itself: its columns named, a key with the race's
    // reference line, central courses by name as local ones are.
    EXPECT_TRUE(page.contains(QStringLiteral("<thead><tr><th>枠</th><th>番</th>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<th>指数</th><th>前走</th>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<th>指数</th><th>5走前</th></tr></thead>")));
    EXPECT_TRUE(page.contains(QStringLiteral("連対基準線 %1 を超えた走")
                                  .arg(formatNumber(store.referenceFigure, QStringLiteral("0.0")))));
    EXPECT_GT(page.count(QRegularExpression(QStringLiteral("<td[^>]*>東京 [0-9]{4} "))), 0);
    EXPECT_EQ(page.count(QRegularExpression(QStringLiteral("<td[^>]*>(0[1-9]|10) [0-9]{4} "))), 0);
    // Every runner's section links to the one after it but the last, to the one
    // before it but the first, and to the top (the links' targets are checked below).
    EXPECT_EQ(page.count(QStringLiteral("次へ →</a>")), store.fieldSize - 1);
    EXPECT_EQ(page.count(QStringLiteral("← 前へ</a>")), store.fieldSize - 1);
    EXPECT_EQ(page.count(QStringLiteral("<a href=\"#top\">↑ 一覧</a>")), store.fieldSize);

    // Three rankings, the table, the comparison graph, and per runner a section
    // with its two grids.
    EXPECT_EQ(tables, 3 + 1 + 2 * store.fieldSize);
    for (int n = 1; n <= store.fieldSize; ++n)
        EXPECT_TRUE(ids.contains(QStringLiteral("uma-%1").arg(n, 2, 10, QLatin1Char('0')))) << n;
    EXPECT_EQ(files.size(), store.fieldSize + 1);
    QStringList linkedFiles;
    int toSections = 0;
    for (const QString &anchor : anchors) {
        if (!anchor.startsWith(u'#')) {
            linkedFiles << anchor;
            continue;
        }
        EXPECT_TRUE(ids.contains(anchor.mid(1))) << anchor.toStdString();
        toSections += anchor.startsWith(QStringLiteral("#uma-"));
    }
    // Per runner: the navigation, three rankings, the key, the 馬柱, the
    // head-to-head tables of every runner and the steps of the neighbours.
    EXPECT_GE(toSections, store.fieldSize * (1 + 3 + 1 + 1 + store.fieldSize));
    // Each runner's comparison graph is the one file with its line as the fragment.
    EXPECT_EQ(linkedFiles.size(), store.fieldSize);
    for (int n = 1; n <= store.fieldSize; ++n)
        EXPECT_TRUE(linkedFiles.contains(QStringLiteral("hikaku.svg#u%1").arg(n, 2, 10, QLatin1Char('0'))))
            << n;
    for (const QString &file : files + linkedFiles) {
        SCOPED_TRACE(file.toStdString());
        QFile svg(folder + u'/' + file.section(u'#', 0, 0));
        ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
        const QByteArray bytes = svg.readAll();
        QXmlStreamReader picture(bytes);
        ASSERT_TRUE(picture.readNextStartElement());
        EXPECT_EQ(picture.name(), QStringLiteral("svg"));
        EXPECT_FALSE(bytes.contains("font-family=\"IPAPGothic\"")) << "a face without its fallback";
        const QString fragment = file.section(u'#', 1);
        EXPECT_TRUE(
            fragment.isEmpty() || bytes.contains(QStringLiteral("<g id=\"%1\"").arg(fragment).toUtf8()));
        // A runner's graph is titled with its number and name.
        if (const int n = file.section(u'-', 1).section(u'.', 0, 0).toInt();
            file.startsWith(u"graph-") && n > 0) {
            EXPECT_TRUE(bytes.contains(QStringLiteral("<title>%1 %2</title>")
                                           .arg(n, 2, 10, QLatin1Char('0'))
                                           .arg(store.horses[n].name)
                                           .toUtf8()));
        }
    }
    // Nothing else lies in the folder: no temporaries left behind.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), files.size() + 1);
}

// The report through Chromium's print to PDF, as a browser prints its
// index.html: every page names the race; the rankings with the 印 on the first
// page; the 馬柱 across the page width up to its last run in no less than 7 pt;
// two runners to a page, each section whole; 16 runners in at most 10 pages.
TEST_F(SampleRaceViews, PrintedReportIsCompactNamesTheRaceOnEveryPageAndSplitsNothing)
{
    if (QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty())
        GTEST_SKIP() << "chromium is not installed (scripts/install-deps.sh installs it)";
    TestFolder out;
    const QString folder = out.file(QStringLiteral("report"));
    ASSERT_TRUE(writeRaceReport(store, settings, folder, sink, {{2, Mark::Honmei}}).ok());
    const QString pdf = out.file(QStringLiteral("report.pdf"));
    run(QStringLiteral("chromium"),
        {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
            QStringLiteral("--no-first-run"), QStringLiteral("--disable-background-networking"),
            QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
            QStringLiteral("--user-data-dir=") + out.file(QStringLiteral("profile")),
            QStringLiteral("--no-pdf-header-footer"), QStringLiteral("--print-to-pdf=") + pdf,
            QUrl::fromLocalFile(folder + QStringLiteral("/index.html")).toString()});
    ASSERT_TRUE(QFile::exists(pdf));

    // Runner 1's fifth run: its time and margin lead the block's last row.
    const QString lastRun = raceTimeText(store.horses[1].runs[5].time) + u'('
        + plainNumber(store.horses[1].runs[5].margin) + u')';
    ASSERT_TRUE(store.horses[1].runs[5].time > 60) << "the sample's fifth run has a time";
    const QString boxes
        = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression pageSize(QStringLiteral("<page width=\"([0-9.]+)\""));
    const double pageWidth = pageSize.match(boxes).captured(1).toDouble();
    EXPECT_NEAR(pageWidth, 595, 1) << "A4";
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">%1</word>")
                                      .arg(QRegularExpression::escape(lastRun.toHtmlEscaped())));
    const QRegularExpressionMatch found = word.match(boxes);
    ASSERT_TRUE(found.hasMatch()) << lastRun.toStdString();
    EXPECT_LE(found.captured(3).toDouble(), pageWidth);
    // A word's box is as high as its font: 7 pt (to rounding), not the 5.9 pt
    // of a table zoomed to the page.
    EXPECT_GE(found.captured(4).toDouble() - found.captured(2).toDouble(), 6.95);

    const int pages = boxes.count(QStringLiteral("<page "));
    ASSERT_EQ(store.fieldSize, 16) << "the sample race";
    EXPECT_LE(pages, 10);
    QStringList text;
    for (int p = 1; p <= pages; ++p)
        text << run(QStringLiteral("pdftotext"),
            {QStringLiteral("-f"), QString::number(p), QStringLiteral("-l"), QString::number(p), pdf,
                QStringLiteral("-")});
    for (int p = 0; p < pages; ++p)
        EXPECT_TRUE(text[p].contains(QStringLiteral("2026/11/29 東京 11R"))) << "page " << p + 1;
    EXPECT_TRUE(text.value(0).contains(QStringLiteral("平均指数（14ヶ月）")) && text.value(0).contains(u'◎'));
    // The page with a runner's panel holds its heading and both its tables, and
    // the other runner of its pair.
    const auto pageOf = [&](int n) {
        const QString panel = writeUmaInfo(store, n, sink).section(QChar(13), 0, 0);
        return std::find_if(text.begin(), text.end(), [&](const QString &t) { return t.contains(panel); });
    };
    for (int n = 1; n <= store.fieldSize; ++n) {
        SCOPED_TRACE(n);
        const auto at = pageOf(n);
        ASSERT_NE(at, text.end());
        EXPECT_TRUE(
            at->contains(QStringLiteral("%1 %2").arg(n, 2, 10, QLatin1Char('0')).arg(store.horses[n].name)));
        EXPECT_TRUE(at->contains(QStringLiteral("対戦成績")) && at->contains(QStringLiteral("成績表")))
            << at->toStdString();
        if (n % 2 == 0) {
            EXPECT_EQ(at, pageOf(n - 1)) << "two runners to a page";
        } else if (n > 1) {
            EXPECT_NE(at, pageOf(n - 1)) << "a pair starts a page";
        }
    }
}

// Page fields reach the report's HTML and SVG text, the SVG titles included:
// markup characters and characters XML cannot hold keep every file well formed.
TEST_F(SampleRaceViews, HostileTextsKeepEveryReportFileWellFormed)
{
    const QString hostile[] = {
        QStringLiteral("A&B"),
        QStringLiteral("<title>x</title>"),
        QStringLiteral("\"quoted\" 'single' ]]>"),
        QStringLiteral("ctrl\x01\x08\x1F\uFFFE end"),
    };
    for (int i = 0; i < int(std::size(hostile)) && i + 1 <= store.fieldSize; ++i)
        store.horses[i + 1].name = hostile[i];
    store.raceTitle = hostile[0] + hostile[3];
    TestFolder out;
    const QString folder = out.file(QStringLiteral("report"));
    const Status written = writeRaceReport(store, settings, folder, sink);
    ASSERT_TRUE(written.ok()) << written.message().toStdString();
    const QStringList files = QDir(folder).entryList(QDir::Files);
    ASSERT_EQ(files.size(), store.fieldSize + 2);  // index, hikaku and graph-NN
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(folder + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // Well-formed is not enough: markup in a name is well-formed too.
        EXPECT_FALSE(bytes.contains("<title>x</title>"));
        if (name == kReportIndex) {
            EXPECT_TRUE(bytes.contains("&lt;title&gt;x&lt;/title&gt;"));
        }
        QXmlStreamReader xml(bytes);
        QString title;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QStringLiteral("title"))
                title = xml.readElementText();
        }
        ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString() << " at line " << xml.lineNumber();
        if (name == QStringLiteral("graph-01.svg")) {
            EXPECT_EQ(title, QStringLiteral("01 A&B"));
        }
        if (name == QStringLiteral("graph-02.svg")) {
            EXPECT_EQ(title, QStringLiteral("02 <title>x</title>"));
        }
    }
}

// The journal's marks show in the report's rankings and beside each runner's
// heading, escaped with its name, and the day's index names the ◎; a mark set
// on another horse that stood at the number, or no journal kept, shows none.
TEST_F(SampleRaceViews, ReportShowsTheJournalsMarksOfTheRunnersOnTheCard)
{
    const AppFolder folder(app.path());
    const RaceSelection selection {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"),
        QStringLiteral("09"), QStringLiteral("11"), ReadingSite::One};
    const std::optional<RaceKey> key = raceKeyOf(selection, store);
    ASSERT_TRUE(key);
    {
        Journal::Opened opened = Journal::open(folder.file(kJournalFile));
        ASSERT_TRUE(opened.status.ok()) << opened.status.message().toStdString();
        ASSERT_TRUE(opened.value->setMark(*key, 3, store.horses[3].pageAddress, Mark::Honmei).ok());
        ASSERT_TRUE(opened.value->setMark(*key, 5, store.horses[5].pageAddress, Mark::Kesi).ok());
        ASSERT_TRUE(
            opened.value->setMark(*key, 6, QStringLiteral("http://other.example/"), Mark::Taikou).ok());
    }
    EXPECT_TRUE(recordedMarks(folder, false, selection, store).empty());
    const MarksByNumber marks = recordedMarks(folder, true, selection, store);
    EXPECT_EQ(marks, (MarksByNumber {{3, Mark::Honmei}, {5, Mark::Kesi}}));

    store.horses[3].name = QStringLiteral("A&<b>");
    TestFolder out;
    const QString report = out.file(QStringLiteral("report"));
    ASSERT_TRUE(writeRaceReport(store, settings, report, sink, marks).ok());
    QFile index(report + QStringLiteral("/index.html"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(index.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("<h2>03 A&amp;&lt;b&gt; <span class=\"mark\">◎</span></h2>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<span class=\"mark\">×</span></h2>")));
    EXPECT_EQ(html.count(QStringLiteral("<span class=\"mark\">")), 2);
    // Each of the three rankings has the column, and the mark on runner 3's row.
    EXPECT_EQ(html.count(QStringLiteral("<th>印</th>")), 3);
    EXPECT_EQ(html.count(QRegularExpression(
                  QStringLiteral("<td class=\"mark\">◎</td><td><a href=\"#uma-03\">03 A&amp;&lt;b&gt;</a>"))),
        3);
    EXPECT_EQ(html.count(QStringLiteral("<td class=\"mark\">○</td>")), 0);

    const RaceSummary summary = summarizeRace(store, 11, marks);
    ASSERT_TRUE(summary.honmei);
    EXPECT_TRUE(QString::fromUtf8(dayIndexHtml(QStringLiteral("5回東京9日"), {summary}))
                    .contains(QStringLiteral("<td class=\"honmei\">3 A&amp;&lt;b&gt;</td>")));
    EXPECT_FALSE(summarizeRace(store, 11, {{5, Mark::Kesi}}).honmei);

    // Once the results are in: each runner's 着順, 人気 and 単勝 beside the figures,
    // the winner and how the ◎ ran on the day's index; a result read for
    // another horse that stood at a number shows nowhere.
    RunnerResult second;
    second.finish = 2;
    second.popularity = 4;
    RunnerResult won;
    won.finish = 1;
    won.popularity = 1;
    won.winOdds = 3.4;
    {
        Journal::Opened opened = Journal::open(folder.file(kJournalFile));
        ASSERT_TRUE(opened.status.ok());
        const auto race = opened.value->raceId(*key);
        ASSERT_TRUE(race.value);
        ASSERT_TRUE(opened.value->recordResult(*race.value, 3, store.horses[3].pageAddress, second).ok());
        ASSERT_TRUE(opened.value->recordResult(*race.value, 7, store.horses[7].pageAddress, won).ok());
        ASSERT_TRUE(
            opened.value->recordResult(*race.value, 8, QStringLiteral("http://other.example/"), won).ok());
    }
    EXPECT_TRUE(recordedResults(folder, false, selection, store).empty());
    const ResultsByNumber results = recordedResults(folder, true, selection, store);
    ASSERT_EQ(results.size(), 2U);
    EXPECT_EQ(results.at(3).finish, 2);
    EXPECT_EQ(results.at(7).popularity, 1);
    ASSERT_TRUE(writeRaceReport(store, settings, report, sink, marks, results).ok());
    QFile again(report + QStringLiteral("/index.html"));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    const QString ran = QString::fromUtf8(again.readAll());
    EXPECT_TRUE(ran.contains(
        QStringLiteral("<span class=\"mark\">◎</span><span class=\"result\">2着 4人気</span></h2>")));
    EXPECT_EQ(ran.count(QStringLiteral("<th>着順</th><th>人気</th><th>単勝</th>")), 3);
    EXPECT_EQ(ran.count(QRegularExpression(QStringLiteral(
                  "<a href=\"#uma-07\">07 [^<]*</a></td><td class=\"r\">[^<]*</td><td class=\"r\">[0-9]+</td>"
                  "<td class=\"r\">1</td><td class=\"r\">1</td><td class=\"r\">3.4</td></tr>"))),
        3)
        << QRegularExpression(QStringLiteral("<tr>[^\n]*uma-07[^\n]*</tr>"))
               .match(ran)
               .captured(0)
               .toStdString();
    EXPECT_EQ(ran.count(QStringLiteral("class=\"result\"")), 2);
    // Each ranking counts its places from 1.
    EXPECT_EQ(ran.count(QStringLiteral("<tbody>\n<tr><td class=\"r\">1</td>")), 3);
    const RaceSummary afterRace = summarizeRace(store, 11, marks, results);
    const QString day = QString::fromUtf8(dayIndexHtml(QStringLiteral("5回東京9日"), {afterRace},
        {QStringLiteral("サイト1"), QStringLiteral("tally/index.html")}));
    EXPECT_TRUE(day.contains(QStringLiteral("<td class=\"honmei\">3 A&amp;&lt;b&gt; → 2着 4人気</td>")));
    EXPECT_TRUE(day.contains(
        QStringLiteral("<td class=\"winner\">7 %1</td>").arg(store.horses[7].name.toHtmlEscaped())));
    EXPECT_TRUE(day.contains(
        QStringLiteral("2026年11月29日（日）　サイト1　<a href=\"tally/index.html\">成績集計</a>")));
}

}  // namespace
}  // namespace marunoki::test
