// The 成績集計 window's tally against the command line's: the sample day
// recorded and its results filled by marunoki-cli, then one filter with every
// field set, chosen as the window's controls choose it and typed as a user
// types it, gives the same tables, cells, favourite lines and footer.

#include "cli_process.h"
#include "output/tally_view.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

struct PrintedTable {
    QString caption;
    std::vector<QStringList> rows;  // the column heads first
    QString favourite;
};

// The tables of tally's printout ("■ caption", heads, rows, the favourite
// line, up to a blank line).
std::vector<PrintedTable> printedTables(const QStringList &lines)
{
    std::vector<PrintedTable> tables;
    bool open = false;
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("■ "))) {
            tables.push_back({line.mid(2), {}, {}});
            open = true;
        } else if (line.isEmpty()) {
            open = false;
        } else if (open && line.startsWith(QStringLiteral("指数"))) {
            tables.back().favourite = line;
        } else if (open) {
            tables.back().rows.push_back(line.split(QRegularExpression(QStringLiteral("\\s+"))));
        }
    }
    return tables;
}

QStringList gridRow(const CellGrid &grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid.cols(); ++c)
        cells << grid.at(row, c)->text;
    return cells;
}

}  // namespace

TEST(TallyView, TheWindowShowsTheCommandLinesNumbersForTheSameFilter)
{
    TestFolder folder;
    const QString app = folder.file(QStringLiteral("app"));
    ASSERT_TRUE(QDir().mkpath(app));
    for (const char *name : {"marunoki.dat", "NAR_data.mdb", "marunoki.ini"})
        ASSERT_TRUE(QFile::copy(sourceFile(QStringLiteral("samples/") + QString::fromLatin1(name)),
            app + u'/' + QString::fromLatin1(name)));
    const QString journal = app + QStringLiteral("/journal.sqlite");

    // Without a journal both say the same one thing.
    const TallyView none = tallyViewOf(journal, tallyRequestOf({}));
    CliRun missing = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("tally")});
    EXPECT_FALSE(none.status.ok());
    EXPECT_TRUE(none.tables.empty());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(
        QString::fromUtf8(missing.err), QStringLiteral("marunoki-cli: %1\n").arg(none.status.message()));

    CliRun day = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("day"), QStringLiteral("--site"),
        QStringLiteral("1"), QStringLiteral("--year"), QStringLiteral("2026"), QStringLiteral("--course"),
        QStringLiteral("東京"), QStringLiteral("--meeting"), QStringLiteral("05"), QStringLiteral("--day"),
        QStringLiteral("09"), QStringLiteral("--races"), QStringLiteral("10-12"), QStringLiteral("--offline"),
        sourceFile(QStringLiteral("samples/site1"))});
    ASSERT_EQ(day.exitCode, 0) << day.err.toStdString();
    CliRun results = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("results"),
        QStringLiteral("--offline"), sourceFile(QStringLiteral("samples/site1-after"))});
    ASSERT_EQ(results.exitCode, 0) << results.err.toStdString();

    // Races 10 and 12 (dirt 1600 m, 16 and 14 runners) pass; race 11 (turf) does not.
    TallyForm form;
    form.from = QDate(2026, 11, 1);
    form.to = QDate(2026, 11, 30);
    form.site = 1;
    form.course = 5;
    form.surface = 2;
    form.distanceLow = 1200;
    form.distanceHigh = 1800;
    form.runnersLow = 10;
    form.runnersHigh = 16;
    form.by = 1;
    const TallyView view = tallyViewOf(journal, tallyRequestOf(form));
    ASSERT_TRUE(view.status.ok()) << view.status.message().toStdString();

    CliRun tally = runCli({QStringLiteral("--app-dir"), app, QStringLiteral("tally"),
        QStringLiteral("--from"), QStringLiteral("2026-11-01"), QStringLiteral("--to"),
        QStringLiteral("2026-11-30"), QStringLiteral("--site"), QStringLiteral("1"),
        QStringLiteral("--course"), QStringLiteral("東京"), QStringLiteral("--surface"), QStringLiteral("ダ"),
        QStringLiteral("--distance"), QStringLiteral("1200-1800"), QStringLiteral("--runners"),
        QStringLiteral("10-16"), QStringLiteral("--by"), QStringLiteral("mean")});
    ASSERT_EQ(tally.exitCode, 0) << tally.err.toStdString();
    const QStringList lines = QString::fromUtf8(tally.out).split(u'\n');
    EXPECT_EQ(lines.value(0), view.headline);
    EXPECT_EQ(lines.mid(1, 2).join(u'\n'), view.conditions);
    EXPECT_TRUE(QString::fromUtf8(tally.out).contains(view.footer)) << view.footer.toStdString();
    EXPECT_TRUE(view.footer.startsWith(QStringLiteral("集計 2 レース　結果待ち 0 レース")))
        << view.footer.toStdString();

    const std::vector<PrintedTable> printed = printedTables(lines);
    // The mean figure's table, popularity's beside it, and the mean's lead table.
    ASSERT_EQ(printed.size(), 3u);
    ASSERT_EQ(view.tables.size(), printed.size());
    for (size_t t = 0; t < printed.size(); ++t) {
        const TallyTableView &shown = view.tables[t];
        SCOPED_TRACE(shown.caption.toStdString());
        EXPECT_EQ(shown.caption, printed[t].caption);
        EXPECT_EQ(shown.favourite, printed[t].favourite);
        ASSERT_EQ(shown.grid.rows(), int(printed[t].rows.size()));
        for (int r = 0; r < shown.grid.rows(); ++r)
            EXPECT_EQ(gridRow(shown.grid, r), printed[t].rows[size_t(r)]);
        EXPECT_TRUE(shown.chartSvg.startsWith("<?xml"));
    }
    // Each rank counts both races.
    EXPECT_EQ(gridRow(view.tables[0].grid, 1).value(1), QStringLiteral("2"));
}

}  // namespace marunoki::test
