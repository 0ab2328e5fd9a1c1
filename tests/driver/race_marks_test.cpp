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
    store->tousuu = qint32(ids.size());
    for (const qint32 n : store->runners()) {
        store->U_name[n] = QStringLiteral("見本馬%1").arg(ids[size_t(n - 1)]);
        store->U_Url[n] = horsePage(ids[size_t(n - 1)]);
        store->U_heikin[n] = {float(60 + n), 2};
    }
    return store;
}

// Records the store's race in the folder's journal, as a load does at its end.
void record(const TestFolder &folder, const RaceStore &store)
{
    Journal::Opened opened = Journal::open(folder.file(kJournalFile));
    ASSERT_TRUE(opened.status.ok()) << opened.status.message().toStdString();
    ASSERT_TRUE(opened.journal->recordRace(*raceKeyOf(kRace, store), store, 0.3f, QString()).ok());
}

std::vector<std::pair<int, QString>> panel(const RaceMarks &marks)
{
    std::vector<std::pair<int, QString>> rows;
    for (const MarkRow &row : marks.rows())
        rows.emplace_back(row.runner, markSymbol(row.mark) + row.name);
    return rows;
}

TEST(RaceMarks, KeysGiveTheMarksAndMarkingNeedsARaceTheJournalHolds)
{
    const struct {
        int key;
        bool command;
        std::optional<Mark> mark;
    } keys[] = {{Qt::Key_1, true, Mark::Honmei}, {Qt::Key_2, true, Mark::Taikou},
        {Qt::Key_3, true, Mark::Tanana}, {Qt::Key_4, true, Mark::Renka}, {Qt::Key_5, true, Mark::Ana},
        {Qt::Key_6, true, Mark::Kesi}, {Qt::Key_0, true, std::nullopt}, {Qt::Key_7, false, std::nullopt},
        {Qt::Key_9, false, std::nullopt}, {Qt::Key_A, false, std::nullopt}};
    for (const auto &k : keys) {
        const std::optional<MarkCommand> command = markCommandOfKey(k.key);
        ASSERT_EQ(command.has_value(), k.command) << k.key;
        if (command) {
            EXPECT_EQ(command->mark, k.mark) << k.key;
        }
    }

    const struct {
        const char *what;
        bool recorded, analysed, recordFailed, keep;
        QString reason;  // empty: marking is possible
    } cases[] = {
        {"analysed and recorded", true, true, false, true, QString()},
        {"the load failed or was stopped", true, false, false, true, kMarksNotAnalysed},
        {"never analysed: not in the journal", false, true, false, true, kMarksNotRecorded},
        {"the load could not record it", false, true, true, true, kMarksNotRecorded},
        {"[journal] keep=0", true, true, false, false, kMarksJournalOff},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        const auto store = card({1, 2, 3});
        if (c.recorded)
            record(folder, *store);
        RaceMarks marks(AppFolder(folder.path()), *store);
        EXPECT_FALSE(marks.possible());  // nothing shown yet
        RecordingSink messages;
        EXPECT_FALSE(marks.setMark(1, Mark::Honmei, messages));
        marks.raceShown(kRace, c.analysed, c.recordFailed, c.keep, messages);
        EXPECT_EQ(marks.offReason(), c.reason);
        EXPECT_EQ(marks.setMark(2, Mark::Ana, messages), c.reason.isEmpty());
        EXPECT_EQ(marks.markOf(2), c.reason.isEmpty() ? std::optional(Mark::Ana) : std::nullopt);
        // A number that is no runner of the card is never marked.
        EXPECT_FALSE(marks.setMark(4, Mark::Ana, messages));
        EXPECT_TRUE(messages.messages().isEmpty()) << messages.messages().join(u'\n').toStdString();
        // A load that begins takes marking away until it has ended.
        marks.loadStarting();
        EXPECT_FALSE(marks.possible());
        EXPECT_FALSE(marks.markOf(2).has_value());
        EXPECT_TRUE(marks.rows().empty());
    }
}

TEST(RaceMarks, PanelListsMarkOrderAndAChangedCardMovesNoMarkToAnotherHorse)
{
    TestFolder folder;
    RecordingSink messages;
    const AppFolder app(folder.path());
    const auto first = card({1, 2, 3, 4, 5});
    record(folder, *first);
    RaceMarks marks(app, *first);
    marks.raceShown(kRace, true, false, true, messages);
    ASSERT_TRUE(marks.possible()) << marks.offReason().toStdString();
    const std::pair<qint32, Mark> set[]
        = {{4, Mark::Renka}, {2, Mark::Honmei}, {5, Mark::Renka}, {1, Mark::Taikou}, {3, Mark::Kesi}};
    for (const auto &[runner, mark] : set)
        ASSERT_TRUE(marks.setMark(runner, mark, messages));
    ASSERT_TRUE(marks.setMark(3, std::nullopt, messages));  // 0 clears
    ASSERT_TRUE(marks.setMark(4, Mark::Renka, messages));  // set again: still one row
    using Rows = std::vector<std::pair<int, QString>>;
    EXPECT_EQ(panel(marks), (Rows {{2, "◎見本馬2"}, {1, "○見本馬1"}, {4, "△見本馬4"}, {5, "△見本馬5"}}));

    // The next load reads a card on which horses 1 and 2 swapped numbers and
    // horse 5 gave way to horse 6: the marks stay with their horses.
    const auto second = card({2, 1, 3, 4, 6});
    record(folder, *second);
    RaceMarks again(app, *second);
    again.raceShown(kRace, true, false, true, messages);
    const std::optional<Mark> expected[]
        = {Mark::Honmei, Mark::Taikou, std::nullopt, Mark::Renka, std::nullopt};
    for (qint32 n = 1; n <= 5; ++n)
        EXPECT_EQ(again.markOf(n), expected[n - 1]) << n;
    EXPECT_EQ(panel(again), (Rows {{1, "◎見本馬2"}, {2, "○見本馬1"}, {4, "△見本馬4"}, {0, "△"}}));
    EXPECT_EQ(again.rows().back().number, 5);

    // A mark set on a horse that moved replaces the row of its old number.
    ASSERT_TRUE(again.setMark(1, Mark::Ana, messages));
    Journal::Opened opened = Journal::open(folder.file(kJournalFile));
    ASSERT_TRUE(opened.status.ok());
    const JournalRead<std::vector<RunnerMark>> kept = opened.journal->marks(*raceKeyOf(kRace, *second));
    int rowsOfHorse2 = 0;
    for (const RunnerMark &m : kept.value) {
        if (m.horseUrl == horsePage(2)) {
            ++rowsOfHorse2;
            EXPECT_EQ(m.number, 1);
            EXPECT_EQ(m.mark, Mark::Ana);
        }
    }
    EXPECT_EQ(rowsOfHorse2, 1);
    EXPECT_EQ(again.markOf(1), Mark::Ana);
    EXPECT_TRUE(messages.messages().isEmpty()) << messages.messages().join(u'\n').toStdString();
}

TEST(RaceMarks, AJournalThatCannotBeUsedIsSaidOnceAndMarkingGoesOff)
{
    TestFolder folder;
    const auto store = card({1, 2});
    record(folder, *store);
    RaceMarks marks(AppFolder(folder.path()), *store);
    RecordingSink messages;
    marks.raceShown(kRace, true, false, true, messages);
    ASSERT_TRUE(marks.possible());

    // Another program put something else in the journal's place.
    QFile::remove(folder.file(kJournalFile));
    folder.write(kJournalFile, QByteArray("not a journal at all, just text\n").repeated(200));
    EXPECT_FALSE(marks.setMark(1, Mark::Honmei, messages));
    EXPECT_FALSE(marks.setMark(2, Mark::Honmei, messages));
    ASSERT_EQ(messages.messages().size(), 1);
    marks.raceShown(kRace, true, false, true, messages);
    EXPECT_FALSE(marks.possible());
    EXPECT_EQ(marks.offReason(), messages.messages().first());
    EXPECT_EQ(messages.messages().size(), 1);
}

}  // namespace
