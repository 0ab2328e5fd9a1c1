#include "view/bacyu_table.h"

#include "app/format.h"
#include "support/qt_print.h"
#include "view_store.h"

#include <gtest/gtest.h>

#include <limits>

using namespace marunoki;
using marunoki::test::addRun;
using marunoki::test::addRunner;

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kShade(0xE0, 0xE0, 0xE0);

int blockRow(int slot)
{
    return (slot - 1) * 5;
}

struct BacyuFixture : ::testing::Test {
    const GridCell &cell(int slot, int offset, int col) const
    {
        const GridCell *found = grid.at(blockRow(slot) + offset, col);
        EXPECT_NE(found, nullptr);
        static const GridCell outside;
        return found ? *found : outside;
    }
    QString text(int slot, int offset, int col) const { return cell(slot, offset, col).text; }
    void draw()
    {
        drawBacyu(store, grid, sink);
        EXPECT_TRUE(sink.messages().isEmpty());
    }

    RaceStore store;
    CellGrid grid;
    RecordingSink sink;
};

}  // namespace

TEST_F(BacyuFixture, LaysOutTheTable)
{
    // The grid may have shown something else before: every setting is the table's own.
    grid.visible = false;
    grid.gridLines = true;
    grid.wordWrap = true;
    grid.fixedRows = 2;
    grid.fixedCols = 3;
    grid.baseFontSize = 11;
    grid.fontName = QStringLiteral("ＭＳ 明朝");
    draw();
    EXPECT_TRUE(grid.visible);
    EXPECT_FALSE(grid.gridLines);
    EXPECT_FALSE(grid.wordWrap);
    EXPECT_EQ(grid.rows(), 90);
    EXPECT_EQ(grid.cols(), 16);
    EXPECT_EQ(grid.fixedRows, 0);
    EXPECT_EQ(grid.fixedCols, 0);
    EXPECT_EQ(grid.baseFontSize, 8);
    EXPECT_EQ(grid.fontName, QStringLiteral("ＭＳ Ｐゴシック"));
    const int widths[]
        = {250, 250, 1500, 700, 400, 400, 400, 1800, 400, 1800, 400, 1800, 400, 1800, 400, 1800};
    for (int c = 0; c < 16; ++c) {
        EXPECT_EQ(grid.colWidth(c), widths[c]) << c;
        const CellAlign expected = c >= 7 && c % 2 == 1 ? CellAlign::LeftCenter : CellAlign::General;
        EXPECT_EQ(grid.at(40, c)->align, expected) << c;
    }
    EXPECT_EQ(grid.totalWidth(), 14500);
}

TEST_F(BacyuFixture, ShadingAlternatesByRunnerSlotWhetherFilledOrNot)
{
    addRunner(store, 1, QStringLiteral("イチ"), 1);
    addRunner(store, 2, QStringLiteral("ニ"), 1);
    draw();
    const QList<int> odd = {1, 3, 6, 7, 10, 11, 14, 15};
    const QList<int> even = {2, 4, 5, 8, 9, 12, 13};
    for (int slot = 1; slot <= 18; ++slot) {
        const QList<int> &shaded = slot % 2 == 1 ? odd : even;
        for (int offset = 0; offset < 5; ++offset) {
            for (int c = 1; c < 16; ++c) {
                EXPECT_EQ(cell(slot, offset, c).background, shaded.contains(c) ? kShade : kWhite)
                    << "slot " << slot << " row " << offset << " col " << c;
            }
        }
    }
}

TEST_F(BacyuFixture, RunnerWithoutHistoryShowsOnlyTodayAndStatistics)
{
    addRunner(store, 1, QStringLiteral("シンザン"), 1);
    store.horses[1].meanFigure = {0, 0};
    draw();
    const struct {
        int offset;
        int col;
        const char *text;
    } cells[] = {
        {0, 0, "1"},
        {0, 1, "1"},
        {1, 2, "シンザン"},
        {2, 2, "  父 チチウマ"},
        {3, 2, "  母 ハハウマ"},
        {0, 3, "牡4"},
        {1, 3, "騎手一"},
        {2, 3, "57.0"},
        {3, 3, "478"},
        {4, 3, ""},
        {0, 4, "00"},
        {1, 4, "00"},
        {3, 4, ""},
        {4, 4, "0"},
        {0, 5, "00"},
        {1, 5, "00"},
        {3, 5, ".0"},
        {4, 5, "0"},
    };
    for (const auto &c : cells) {
        EXPECT_EQ(text(1, c.offset, c.col), QString::fromUtf8(c.text))
            << "row " << c.offset << " col " << c.col;
    }
    for (int offset = 0; offset < 5; ++offset) {
        for (int c = 6; c < 16; ++c) {
            EXPECT_EQ(text(1, offset, c), QString()) << "row " << offset << " col " << c;
        }
    }
    EXPECT_TRUE(cell(1, 1, 2).bold);
    EXPECT_EQ(cell(1, 2, 2).fontSize, 6);
    EXPECT_EQ(cell(1, 3, 2).fontSize, 6);
    EXPECT_EQ(cell(1, 1, 3).foreground, kRed);  // no last run: a jockey change
}

TEST_F(BacyuFixture, RunTextsOfOnePastRun)
{
    addRunner(store, 3, QStringLiteral("サン"), 2);
    addRun(store, 3, 1);
    store.horses[3].runs[1].date = *serialFromYmd(2026, 5, 18);
    store.horses[3].runs[1].time = 95.3f;
    store.horses[3].runs[1].margin = 0.2f;
    store.horses[3].runs[1].weightCarried = 55.5f;
    draw();
    const int t = 7;
    EXPECT_EQ(text(3, 0, t), QStringLiteral("05 0518 良 芝1600"));
    EXPECT_EQ(text(3, 1, t), QStringLiteral("レース1"));
    EXPECT_EQ(text(3, 2, t), QStringLiteral("3/16 5人 騎手1 55.5"));
    EXPECT_EQ(text(3, 3, t), QStringLiteral("4番 480　  34.5"));
    EXPECT_EQ(text(3, 4, t), QStringLiteral("95.3(0.2)  3-3-2-1"));
    EXPECT_EQ(cell(3, 1, t).fontSize, 7);
    EXPECT_EQ(cell(3, 0, t).fontSize, 0);
    for (int offset = 0; offset < 5; ++offset) {
        EXPECT_EQ(cell(3, offset, t).align, CellAlign::LeftCenter);
    }
    EXPECT_EQ(text(3, 0, 6), QStringLiteral("61"));
    EXPECT_EQ(text(3, 1, 6), QStringLiteral("上がり"));
    EXPECT_EQ(cell(3, 1, 6).fontSize, 6);
    EXPECT_FALSE(cell(3, 1, 6).bold);
    EXPECT_EQ(text(3, 2, 6), QStringLiteral("51"));
    EXPECT_FALSE(cell(3, 2, 6).bold);
}

TEST_F(BacyuFixture, DirtRunWithoutGoingShowsDistanceAlone)
{
    addRunner(store, 1, QStringLiteral("イチ"), 1);
    addRun(store, 1, 1);
    store.horses[1].runs[1].date = *serialFromYmd(2026, 1, 4);
    store.horses[1].runs[1].course = QStringLiteral("大井");
    store.horses[1].runs[1].surface = 0;
    store.horses[1].runs[1].going = 0;
    store.horses[1].runs[1].distance = 1200;
    draw();
    EXPECT_EQ(text(1, 0, 7), QStringLiteral("大井 0104  1200"));
}

TEST_F(BacyuFixture, RunsFillTheirColumnPairsAndSkipUndatedRuns)
{
    addRunner(store, 1, QStringLiteral("イチ"), 1);
    for (int r = 1; r <= 7; ++r) {
        addRun(store, 1, r);
    }
    store.horses[1].runs[3].date = 0;  // run 3 absent: its pair stays empty
    draw();
    EXPECT_EQ(text(1, 1, 7), QStringLiteral("レース1"));
    EXPECT_EQ(text(1, 1, 9), QStringLiteral("レース2"));
    EXPECT_EQ(text(1, 1, 11), QString());
    EXPECT_EQ(text(1, 0, 10), QString());
    EXPECT_EQ(text(1, 1, 13), QStringLiteral("レース4"));
    EXPECT_EQ(text(1, 1, 15), QStringLiteral("レース5"));
    EXPECT_EQ(text(1, 0, 14), QStringLiteral("65"));
}

TEST_F(BacyuFixture, MissingFigureAgariAndThreeFurlongs)
{
    addRunner(store, 1, QStringLiteral("イチ"), 1);
    addRun(store, 1, 1);
    store.horses[1].runs[1].speedFigure = 0;
    store.horses[1].runs[1].last3fFigure = 0;
    store.horses[1].runs[1].last3f = 0;
    store.referenceFigure = 60;
    draw();
    EXPECT_EQ(text(1, 0, 6), QStringLiteral("00"));
    EXPECT_TRUE(cell(1, 0, 6).bold);
    EXPECT_EQ(cell(1, 0, 6).foreground, kBlack);
    EXPECT_EQ(text(1, 1, 6), QString());
    EXPECT_EQ(text(1, 2, 6), QString());
    EXPECT_EQ(text(1, 3, 7), QStringLiteral("4番 480"));
}

TEST_F(BacyuFixture, FigureFormatAndReferenceLineColour)
{
    const struct {
        float figure;
        const char *text;
        bool red;
    } cases[] = {
        {103.4f, "103", true},
        {7.0f, "07", false},
        {-5.0f, "-05", false},
        {99.6f, "100", true},
        {70.0f, "70", false},
        {70.2f, "70", true},
    };
    store.referenceFigure = 70;
    addRunner(store, 1, QStringLiteral("イチ"), 1);
    addRunner(store, 2, QStringLiteral("ニ"), 1);
    int k = 0;
    int slot = 1;
    for (const auto &c : cases) {
        if (++k > 5) {
            k = 1;
            ++slot;
        }
        addRun(store, slot, k);
        store.horses[slot].runs[k].speedFigure = c.figure;
    }
    draw();
    k = 0;
    slot = 1;
    for (const auto &c : cases) {
        if (++k > 5) {
            k = 1;
            ++slot;
        }
        const GridCell &figure = cell(slot, 0, 6 + 2 * (k - 1));
        EXPECT_EQ(figure.text, QString::fromUtf8(c.text)) << c.figure;
        EXPECT_EQ(figure.foreground, c.red ? kRed : kBlack) << c.figure;
        EXPECT_TRUE(figure.bold);
    }
}

TEST_F(BacyuFixture, BracketNumberOnceAndColoursOnEveryRow)
{
    const struct {
        int slot;
        int bracket;
        const char *number;
        QColor background;
        QColor text;
    } cases[] = {
        {1, 1, "1", kWhite, kBlack},
        {2, 2, "2", kBlack, kWhite},
        {3, 2, "", kBlack, kWhite},  // same bracket as the runner before
        {4, 3, "3", kRed, kWhite},
        {5, 4, "4", kBlue, kWhite},
        {6, 5, "5", QColor(0xFF, 0xFF, 0x80), kBlack},
        {7, 6, "6", QColor(0x00, 0xC0, 0x00), kBlack},
        {8, 7, "7", QColor(0xFF, 0x80, 0x00), kBlack},
        {9, 8, "8", QColor(0xFF, 0xC0, 0xC0), kBlack},
        {10, 8, "", QColor(0xFF, 0xC0, 0xC0), kBlack},
        {11, 0, "0", kWhite, kBlack},
    };
    for (const auto &c : cases) {
        addRunner(store, c.slot, QStringLiteral("ウマ%1").arg(c.slot), c.bracket);
    }
    draw();
    for (const auto &c : cases) {
        EXPECT_EQ(text(c.slot, 0, 0), QString::fromUtf8(c.number)) << "slot " << c.slot;
        for (int offset = 0; offset < 5; ++offset) {
            EXPECT_EQ(cell(c.slot, offset, 0).background, c.background) << "slot " << c.slot;
            EXPECT_EQ(cell(c.slot, offset, 0).foreground, c.text) << "slot " << c.slot;
        }
    }
    EXPECT_EQ(cell(12, 0, 0).background, kWhite);  // empty slot: no bracket colours
}

TEST_F(BacyuFixture, RunningStyleMarkAndIndex)
{
    const struct {
        float v;
        const char *mark;
        const char *index;
    } cases[] = {
        {0.8f, "逃", ".8"},
        {1.99f, "逃", "2.0"},
        {2.0f, "先", "2.0"},
        {3.0f, "差", "3.0"},
        {5.9f, "差", "5.9"},
        {6.0f, "追", "6.0"},
        {0.0f, "", ".0"},
        {std::numeric_limits<float>::quiet_NaN(), "", ".0"},
    };
    int slot = 0;
    for (const auto &c : cases) {
        addRunner(store, ++slot, QStringLiteral("ウマ"), 1);
        store.horses[slot].runningStyle = {c.v, 3};
    }
    draw();
    slot = 0;
    for (const auto &c : cases) {
        ++slot;
        EXPECT_EQ(text(slot, 3, 4), QString::fromUtf8(c.mark)) << c.v;
        EXPECT_EQ(text(slot, 3, 5), QString::fromUtf8(c.index)) << c.v;
    }
}

TEST_F(BacyuFixture, HeadToHeadTotals)
{
    addRunner(store, 1, QStringLiteral("イチ"), 1);
    addRunner(store, 2, QStringLiteral("ニ"), 1);
    store.horses[1].headToHead[0] = {2, 1};
    store.horses[2].headToHead[0] = {0, 0};
    draw();
    EXPECT_EQ(text(1, 4, 3), QStringLiteral("67%"));
    EXPECT_EQ(text(1, 4, 4), QStringLiteral("2"));
    EXPECT_EQ(text(1, 4, 5), QStringLiteral("1"));
    EXPECT_EQ(text(2, 4, 3), QString());
    EXPECT_EQ(text(2, 4, 4), QStringLiteral("0"));
    EXPECT_EQ(text(2, 4, 5), QStringLiteral("0"));
}

TEST_F(BacyuFixture, JockeyChangeComparesFirstThreeCharacters)
{
    const struct {
        const char *today;
        const char *last;
        bool red;
    } cases[] = {
        {"武豊", "武豊", false},
        {"ルメール", "ルメーロ", false},
        {"岩田康", "岩田望", true},
        {"騎手一", "", true},
        {"", "", false},
        {"", "騎手一", true},
    };
    int slot = 0;
    for (const auto &c : cases) {
        addRunner(store, ++slot, QStringLiteral("ウマ"), 1);
        store.horses[slot].runs[0].jockey = QString::fromUtf8(c.today);
        store.horses[slot].runs[1].jockey = QString::fromUtf8(c.last);
    }
    draw();
    slot = 0;
    for (const auto &c : cases) {
        EXPECT_EQ(cell(++slot, 1, 3).foreground, c.red ? kRed : kBlack) << c.today << " / " << c.last;
    }
}

TEST_F(BacyuFixture, MeanFigureRankingColours)
{
    store.topMeans = {0, 80, 75, 75};  // second and third place tied
    const struct {
        float mean;
        QColor colour;
        bool bold;
    } cases[] = {
        {80, kRed, true},
        {75, kBlue, true},
        {74.9f, kBlack, false},
        {0, kBlack, false},
    };
    int slot = 0;
    for (const auto &c : cases) {
        addRunner(store, ++slot, QStringLiteral("ウマ"), 1);
        store.horses[slot].meanFigure = {c.mean, 3};
    }
    draw();
    slot = 0;
    for (const auto &c : cases) {
        const GridCell &mean = cell(++slot, 0, 4);
        EXPECT_EQ(mean.foreground, c.colour) << c.mean;
        EXPECT_EQ(mean.bold, c.bold) << c.mean;
    }

    store.topMeans = {0, 80, 78, 75};
    draw();
    EXPECT_EQ(cell(2, 0, 4).foreground, kBlue);
    EXPECT_FALSE(cell(2, 0, 4).bold);  // third place: blue, regular
}

TEST_F(BacyuFixture, MeanOfZeroTakesNoPlaceWhenFewRunnersHaveFigures)
{
    store.topMeans = {0, 72, 0, 0};
    addRunner(store, 1, QStringLiteral("イチ"), 1);
    addRunner(store, 2, QStringLiteral("ニ"), 1);
    store.horses[1].meanFigure = {72, 2};
    draw();
    EXPECT_EQ(cell(1, 0, 4).foreground, kRed);
    EXPECT_EQ(cell(2, 0, 4).foreground, kBlack);
    EXPECT_FALSE(cell(2, 0, 4).bold);
}

TEST_F(BacyuFixture, StatisticsInTheirFormats)
{
    addRunner(store, 1, QStringLiteral("イチ"), 1);
    store.horses[1].meanFigure = {103.4f, 3};
    store.horses[1].recentMeanFigure = {6.6f, 1};
    store.horses[1].bestFigure = {110.5f, 3};
    store.horses[1].recentBestFigure = {-3.2f, 1};
    store.horses[1].runs[0].bodyWeight = 0;  // the card gave no body weight
    draw();
    EXPECT_EQ(text(1, 0, 4), QStringLiteral("103"));
    EXPECT_EQ(text(1, 1, 4), QStringLiteral("07"));
    EXPECT_EQ(text(1, 0, 5), QStringLiteral("111"));
    EXPECT_EQ(text(1, 1, 5), QStringLiteral("-03"));
    EXPECT_EQ(text(1, 3, 3), QStringLiteral("0"));
}

TEST_F(BacyuFixture, RedrawStartsFromAnEmptyTable)
{
    addRunner(store, 1, QStringLiteral("イチ"), 1);
    addRunner(store, 2, QStringLiteral("ニ"), 3);
    addRun(store, 2, 1);
    store.horses[1].meanFigure = {80, 2};
    store.topMeans = {0, 80, 0, 0};
    draw();
    ASSERT_EQ(text(2, 1, 2), QStringLiteral("ニ"));
    store.clearForLoad();
    addRunner(store, 1, QStringLiteral("ベツ"), 1);
    draw();
    EXPECT_EQ(cell(1, 0, 4).foreground, kBlack);
    for (int offset = 0; offset < 5; ++offset) {
        for (int c = 0; c < 16; ++c) {
            EXPECT_EQ(text(2, offset, c), QString()) << offset << " " << c;
        }
        EXPECT_EQ(cell(2, offset, 0).background, kWhite);
        EXPECT_EQ(cell(2, offset, 6).foreground, kBlack);
    }
    EXPECT_FALSE(cell(2, 1, 2).bold);
}

TEST_F(BacyuFixture, OddStoreContentsAreShownWithoutHarm)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    addRunner(store, 1, QStringLiteral("イチ"), -7);
    addRunner(store, 2, QStringLiteral("ニ"), 1000);
    addRun(store, 1, 1);
    store.horses[1].runs[1].date = 1e300;  // beyond any calendar
    store.horses[1].runs[1].speedFigure = nan;
    store.horses[1].runs[1].last3fFigure = nan;
    store.horses[1].runs[1].cornerPositions = {0, -1, 0, 0, 0};
    store.horses[1].runs[0].jockey.clear();
    store.horses[1].meanFigure.value = nan;
    store.horses[1].headToHead[0] = {nan, 1};
    store.topMeans = {0, nan, nan, nan};
    store.referenceFigure = nan;
    store.horses[5].name = QStringLiteral("ゴ");  // a runner beyond the card's count
    draw();

    EXPECT_EQ(text(1, 0, 0), QStringLiteral("-7"));
    EXPECT_EQ(cell(1, 0, 0).background, kWhite);
    EXPECT_EQ(text(2, 0, 0), QStringLiteral("1000"));
    EXPECT_EQ(text(1, 0, 6), QStringLiteral("00"));  // no figure to show
    EXPECT_EQ(cell(1, 0, 6).foreground, kBlack);
    EXPECT_EQ(text(1, 1, 7), QStringLiteral("レース1"));
    EXPECT_EQ(cell(1, 0, 4).foreground, kBlack);
    EXPECT_EQ(text(1, 4, 3), QString());  // no ratio from an unknown count
    EXPECT_EQ(text(5, 1, 2), QStringLiteral("ゴ"));
}
