#include "driver/race_marks.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/journal_recorder.h"
#include "driver/race_selection.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const RaceSelection kRace {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"),
    QStringLiteral("09"), QStringLiteral("11"), ReadingSite::One};

QString horsePage(int id)
{
    return QStringLiteral("https://site1.example/directory/horse/20041000%1/")
        .arg(id, 2, 10, QLatin1Char('0'));
}

// The card: runner n is the horse of ids[n - 1].
std::unique_ptr<RaceStore> card(const std::vector<int> &ids)
{
    auto store = std::make_unique<RaceStore>();
    store->raceDate = *serialFromYmd(2026, 11, 29);
    store->fieldSize = qint32(ids.size());
    for (const qint32 n : store->runners()) {
        store->horses[n].name = QStringLiteral("見本馬%1").arg(ids[size_t(n - 1)]);
        store->horses[n].pageAddress = horsePage(ids[size_t(n - 1)]);
        store->horses[n].meanFigure = {float(60 + n), 2};
    }
    return store;
}

// Records the store's race in the folder's journal, as a load does at its end.
void record(const TestFolder &folder, const RaceStore &store)
{
    Journal::Opened opened = Journal::open(folder.file(kJournalFile));
    ASSERT_TRUE(opened.status.ok()) << opened.status.message().toStdString();
    ASSERT_TRUE(opened.value->recordRace(*raceKeyOf(kRace, store), store, 0.3f, QString()).ok());
}

std::vector<std::pair<int, QString>> panel(const RaceMarks &marks)
{
    std::vector<std::pair<int, QString>> rows;
    for (const MarkRow &row : marks.rows())
        rows.emplace_back(
            row.runner, QStringLiteral("%1%2%3").arg(row.number).arg(markSymbol(row.mark), row.name));
    return rows;
}

TEST(RaceMarks, KeysMarkOnlyAnAnalysedRaceTheJournalHoldsAndThePanelListsMarkOrder)
{
    const std::pair<int, std::optional<Mark>> keys[] = {{Qt::Key_1, Mark::Honmei}, {Qt::Key_3, Mark::Tanana},
        {Qt::Key_6, Mark::Kesi}, {Qt::Key_0, std::nullopt}};
    for (const auto &[key, mark] : keys) {
        ASSERT_TRUE(markCommandOfKey(key)) << key;
        EXPECT_EQ(markCommandOfKey(key)->mark, mark) << key;
    }
    EXPECT_FALSE(markCommandOfKey(Qt::Key_7) || markCommandOfKey(Qt::Key_A));

    const QString damaged = QStringLiteral("(the journal's own message)");
    const struct {
        const char *what;
        bool recorded, analysed, recordFailed, keep, garbage;
        QString reason;  // empty: marking is possible
    } cases[] = {
        {"analysed and recorded", true, true, false, true, false, QString()},
        {"the load failed or was stopped", true, false, false, true, false, kMarksNotAnalysed},
        {"never recorded", false, true, false, true, false, kMarksNotRecorded},
        // The journal holds the race from an earlier load, not from this one.
        {"the load could not record it", true, true, true, true, false, kMarksNotRecorded},
        {"[journal] keep=0", true, true, false, false, false, kMarksJournalOff},
        {"not a journal", false, true, false, true, true, damaged},
    };
    // Set in this order: cleared, set again, ties kept in number order, and a
    // ◎ that moves to runner 3 and back (△ and × may repeat, ◎ may not).
    const std::pair<qint32, std::optional<Mark>> set[]
        = {{4, Mark::Renka}, {2, Mark::Honmei}, {5, Mark::Renka}, {1, Mark::Taikou}, {3, Mark::Kesi},
            {3, std::nullopt}, {4, Mark::Renka}, {3, Mark::Honmei}, {2, Mark::Honmei}};
    using Rows = std::vector<std::pair<int, QString>>;
    const Rows listed {{2, "2◎見本馬2"}, {1, "1○見本馬1"}, {4, "4△見本馬4"}, {5, "5△見本馬5"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        const auto store = card({1, 2, 3, 4, 5});
        if (c.recorded)
            record(folder, *store);
        if (c.garbage)
            folder.write(kJournalFile, QByteArray("not a journal, just text\n").repeated(200));
        RaceMarks marks(AppFolder(folder.path()), *store);
        RecordingSink messages;
        EXPECT_FALSE(marks.setMark(1, Mark::Honmei, messages));  // nothing shown yet
        EXPECT_EQ(marks.note(), kMarksNotAnalysed);
        for (int twice = 0; twice < 2; ++twice)
            marks.raceShown(kRace, c.analysed, c.recordFailed, c.keep, messages);
        // A journal that cannot be used is said once, and is why marking is off.
        EXPECT_EQ(messages.messages().size(), c.garbage ? 1 : 0);
        EXPECT_EQ(marks.offReason(), c.garbage ? messages.messages().value(0) : c.reason);
        for (const auto &[runner, mark] : set)
            EXPECT_EQ(marks.setMark(runner, mark, messages), c.reason.isEmpty()) << runner;
        EXPECT_EQ(marks.note(),
            c.reason.isEmpty() ? QStringLiteral("◎ を 3番 見本馬3 から 2番 見本馬2 へ移しました")
                               : marks.offReason());
        EXPECT_EQ(panel(marks), c.reason.isEmpty() ? listed : Rows {});
        EXPECT_EQ(marks.markOf(2), c.reason.isEmpty() ? std::optional(Mark::Honmei) : std::nullopt);
        EXPECT_FALSE(marks.setMark(6, Mark::Ana, messages));  // no runner of the card
        // A load that begins takes marking away until it has ended.
        marks.loadStarting();
        EXPECT_FALSE(marks.possible() || marks.markOf(2) || !marks.rows().empty());
    }

    // Read again from a changed card (horses 1 and 2 swapped, horse 6 in place
    // of horse 5): each mark stays with its horse; horse 5's is listed apart.
    // Without a page address the number is the horse: runner 3 has none on
    // either card and keeps its mark; runner 4 had none, and the horse now at
    // its number has one, so its mark is listed apart.
    TestFolder folder;
    RecordingSink messages;
    const auto first = card({1, 2, 3, 4, 5});
    const auto second = card({2, 1, 3, 4, 6});
    first->horses[3].pageAddress.clear();
    first->horses[4].pageAddress.clear();
    second->horses[3].pageAddress.clear();
    record(folder, *first);
    RaceMarks before(AppFolder(folder.path()), *first);
    before.raceShown(kRace, true, false, true, messages);
    for (const auto &[runner, mark] : set)
        ASSERT_TRUE(before.setMark(runner, mark, messages));
    ASSERT_TRUE(before.setMark(3, Mark::Ana, messages));
    EXPECT_EQ(before.markOf(4), Mark::Renka);
    record(folder, *second);
    RaceMarks after(AppFolder(folder.path()), *second);
    after.raceShown(kRace, true, false, true, messages);
    EXPECT_EQ(
        panel(after), (Rows {{1, "1◎見本馬2"}, {2, "2○見本馬1"}, {0, "4△"}, {0, "5△"}, {3, "3☆見本馬3"}}));
    EXPECT_FALSE(after.markOf(5) || after.markOf(4));
    EXPECT_EQ(after.markOf(3), Mark::Ana);
}

}  // namespace
