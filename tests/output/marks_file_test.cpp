// The marks file: a malformed file changes nothing, rows that cannot be
// placed are named while the rest is set, export then import gives the same
// marks back (a race read from both sites with other marks on each included),
// and an exported row follows its horse across a changed card.

#include "output/marks_file.h"

#include "app/format.h"
#include "app/race_store.h"
#include "support/sqlite_file.h"
#include "support/test_folder.h"

#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <memory>

namespace marunoki {
namespace {

const QDate kDay(2026, 11, 29);

RaceKey keyOf(int site, int race)
{
    return {site, kDay, QStringLiteral("05"), 5, 9, race};
}

QString horseUrl(int site, int race, int n)
{
    return QStringLiteral("http://site%1.example/horse/%2/").arg(site).arg(race * 100 + n);
}

// Records race `race` of a site with the horses of urls at numbers 1, 2, ...
void recordCard(Journal &journal, int site, int race, const std::vector<QString> &urls)
{
    RaceStore store;
    store.raceDate = *serialFromYmd(kDay.year(), kDay.month(), kDay.day());
    store.fieldSize = int(urls.size());
    for (const qint32 n : store.runners()) {
        store.horses[n].name = QStringLiteral("ミホン%1").arg(n);
        store.horses[n].pageAddress = urls[size_t(n - 1)];
    }
    EXPECT_TRUE(journal.recordRace(keyOf(site, race), store, 0.35f, {}).ok());
}

// A journal holding race 11 read from both sites (8 runners) and race 12
// from site 1 only (4 runners).
std::unique_ptr<Journal> journalWithRaces(const QString &path)
{
    Journal::Opened opened = Journal::open(path);
    EXPECT_TRUE(opened.status.ok()) << opened.status.message().toStdString();
    for (const auto &[site, race, runners] :
        {std::tuple(1, 11, 8), std::tuple(2, 11, 8), std::tuple(1, 12, 4)}) {
        std::vector<QString> urls;
        for (int n = 1; n <= runners; ++n)
            urls.push_back(horseUrl(site, race, n));
        recordCard(*opened.value, site, race, urls);
    }
    return std::move(opened.value);
}

// Every mark as "site race number url mark", in the journal's order.
QStringList marksOf(Journal &journal)
{
    const auto read = journal.allMarks();
    EXPECT_TRUE(read.status.ok()) << read.status.message().toStdString();
    QStringList marks;
    for (const KeyedMark &m : read.value)
        marks << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(m.key.site)
                     .arg(m.key.race)
                     .arg(m.mark.number)
                     .arg(m.mark.horseUrl, markSymbol(m.mark.mark));
    return marks;
}

QByteArray utf8(const char *text)
{
    return QByteArray(text);
}

TEST(MarksImport, MalformedFileChangesNothingAndNamesItsLine)
{
    test::TestFolder folder;
    auto journal = journalWithRaces(folder.file(QStringLiteral("journal.sqlite")));
    ASSERT_TRUE(journal->setMark(keyOf(1, 11), 2, horseUrl(1, 11, 2), Mark::Renka).ok());
    const QStringList before = marksOf(*journal);
    const QByteArray good = utf8("日付,場,レース,馬番,印\n2026-11-29,東京,11,1,◎\n");
    const struct {
        const char *what;
        QByteArray bytes;
        const char *said;  // part of the message
    } cases[] = {
        {"too few columns", good + utf8("2026-11-29,東京,11,3\n"), "3 行目"},
        {"too many columns", good + utf8("2026-11-29,東京,11,3,○,x\n"), "3 行目"},
        {"a date that is none", good + utf8("2026-11-31,東京,11,3,○\n"), "日付"},
        {"a course that is none", good + utf8("2026-11-29,大井,11,3,○\n"), "大井"},
        {"a runner number out of range", good + utf8("2026-11-29,東京,11,19,○\n"), "馬番"},
        {"a race number that is none", good + utf8("2026-11-29,東京,R11,3,○\n"), "レース"},
        {"an unknown mark", good + utf8("2026-11-29,東京,11,3,◯\n"), "◯"},
        {"an empty mark", good + utf8("2026-11-29,東京,11,3,\n"), "3 行目"},
        {"a line in no encoding", good + utf8("2026-11-29,\x81\xFF\xC3,11,3,○\n"), "読めない文字"},
        {"UTF-16", QByteArray("\xFF\xFE") + QByteArray("2\0000\0002\0006\0", 8), "UTF-16"},
        {"a NUL byte, named not echoed", good + utf8("2026-11-29,") + QByteArray(1, '\0') + utf8(",11,3,○\n"),
            "<00>"},
        {"a site that is none", good + utf8("2026-11-29,東京,11,3,○,3\n"), "サイト 3"},
        // ◎ ○ ▲ name one horse of a race; a row without a site is on both.
        {"a second ◎ in a race", good + utf8("2026-11-29,東京,11,4,◎\n"), "1番"},
        {"a second ◎ on one site", good + utf8("2026-11-29,東京,11,4,◎,2\n"), "1番"},
    };
    for (const auto &c : cases) {
        const MarksImport imported = importMarks(*journal, c.bytes);
        EXPECT_FALSE(imported.status.ok()) << c.what;
        EXPECT_TRUE(imported.status.message().contains(QString::fromUtf8(c.said)))
            << c.what << ": " << imported.status.message().toStdString();
        EXPECT_EQ(imported.placed, 0) << c.what;
        EXPECT_FALSE(imported.status.message().contains(QChar(0))) << c.what;
        EXPECT_EQ(marksOf(*journal), before) << c.what;
    }
}

TEST(MarksImport, NamesRowsItCannotPlaceAndSetsTheRestOnEverySiteOfTheRace)
{
    test::TestFolder folder;
    auto journal = journalWithRaces(folder.file(QStringLiteral("journal.sqlite")));
    ASSERT_TRUE(journal->setMark(keyOf(1, 12), 4, horseUrl(1, 12, 4), Mark::Kesi).ok());
    // Set on runner 3's horse when the card had it at 5: marking it at 3
    // clears that row, so the horse does not hold two marks.
    ASSERT_TRUE(journal->setMark(keyOf(1, 11), 5, horseUrl(1, 11, 3), Mark::Honmei).ok());
    // A ◎ the file gives to runner 6 leaves runner 2; a ▲ and a ○ set on one
    // site and given back on the same runner stay.
    ASSERT_TRUE(journal->setMark(keyOf(1, 11), 2, horseUrl(1, 11, 2), Mark::Honmei).ok());
    // A spreadsheet's own forms: quoted fields (blanks outside the quotes), a
    // slashed date, a course code, a blank line, CRLF; the same runner twice
    // (the later row counts).
    const QByteArray file = utf8("日付,場,レース,馬番,印\r\n"
                                 " \"2026/11/29\" ,05,11,3,▲\r\n"
                                 "2026-11-29,東京,12,18,◎\r\n"  // a number, but race 12 has 4 runners
                                 "\r\n"
                                 "2026-11-30,東京,1,1,◎\r\n"  // race 1, but no race that day
                                 "2026-11-29,東京,12,4,-\r\n"  // clears
                                 "2026-11-29,東京,11,3,☆\r\n"
                                 "2026-11-29,東京,11,6,◎\r\n");
    const MarksImport imported = importMarks(*journal, file);
    ASSERT_TRUE(imported.status.ok()) << imported.status.message().toStdString();
    EXPECT_EQ(imported.placed, 4);
    ASSERT_EQ(imported.unplaced.size(), 2u);
    EXPECT_EQ(imported.unplaced[0].line, 3);
    EXPECT_TRUE(imported.unplaced[0].why.contains(QStringLiteral("12R 18番")))
        << imported.unplaced[0].why.toStdString();
    EXPECT_EQ(imported.unplaced[1].line, 5);
    EXPECT_TRUE(imported.unplaced[1].why.contains(QStringLiteral("2026-11-30")))
        << imported.unplaced[1].why.toStdString();
    const QStringList placed = marksOf(*journal);
    EXPECT_EQ(placed,
        QStringList({QStringLiteral("1 11 3 %1 ☆").arg(horseKey(horseUrl(1, 11, 3))),
            QStringLiteral("1 11 6 %1 ◎").arg(horseKey(horseUrl(1, 11, 6))),
            QStringLiteral("2 11 3 %1 ☆").arg(horseKey(horseUrl(2, 11, 3))),
            QStringLiteral("2 11 6 %1 ◎").arg(horseKey(horseUrl(2, 11, 6)))}));

    // A journal that refuses the write: nothing is placed, nothing changes.
    {
        test::SqliteFile other(folder.file(QStringLiteral("journal.sqlite")));
        other.exec(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON mark BEGIN SELECT RAISE(ABORT, 'full'); END"));
    }
    const MarksImport refused
        = importMarks(*journal, utf8("日付,場,レース,馬番,印\n2026-11-29,東京,11,1,▲\n"));
    EXPECT_FALSE(refused.status.ok());
    EXPECT_EQ(refused.placed, 0);
    EXPECT_EQ(marksOf(*journal), placed);
}

TEST(MarksFile, ExportThenImportGivesTheSameMarksInEitherEncoding)
{
    test::TestFolder folder;
    auto marked = journalWithRaces(folder.file(QStringLiteral("marked.sqlite")));
    const std::vector<MarkChange> changes = {
        // Race 11 read from both sites, marked differently on each.
        {keyOf(1, 11), 1, horseUrl(1, 11, 1), Mark::Honmei},
        {keyOf(2, 11), 1, horseUrl(2, 11, 1), Mark::Kesi},
        {keyOf(1, 11), 8, horseUrl(1, 11, 8), Mark::Kesi},
        {keyOf(2, 11), 8, horseUrl(2, 11, 8), Mark::Honmei},
        {keyOf(1, 11), 5, horseUrl(1, 11, 5), Mark::Ana},
        {keyOf(2, 11), 5, horseUrl(2, 11, 5), Mark::Ana},
        {keyOf(1, 12), 2, horseUrl(1, 12, 2), Mark::Taikou},
        {keyOf(1, 12), 3, horseUrl(1, 12, 3), Mark::Tanana},
        {keyOf(1, 12), 4, horseUrl(1, 12, 4), Mark::Renka},
    };
    ASSERT_TRUE(marked->setMarks(changes).ok());
    const QString path = folder.file(QStringLiteral("marks.csv"));
    const MarksExport exported = exportMarks(*marked, path);
    ASSERT_TRUE(exported.status.ok()) << exported.status.message().toStdString();
    EXPECT_EQ(exported.rows, 9);  // one row per runner of each site's race
    // In race, site and number order, whatever the order they were set in.
    const QString day = QStringLiteral("2026-11-29,東京,");
    EXPECT_EQ(marksCsvText(marked->allMarks().value).split(QStringLiteral("\r\n")).mid(1),
        QStringList({day + QStringLiteral("11,1,◎,1"), day + QStringLiteral("11,5,☆,1"),
            day + QStringLiteral("11,8,×,1"), day + QStringLiteral("11,1,×,2"),
            day + QStringLiteral("11,5,☆,2"), day + QStringLiteral("11,8,◎,2"),
            day + QStringLiteral("12,2,○,1"), day + QStringLiteral("12,3,▲,1"),
            day + QStringLiteral("12,4,△,1"), QString()}));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray cp932 = file.readAll();
    // The program's CSV encoding: ◎ is 81 9D in CP932, never its UTF-8 bytes.
    EXPECT_TRUE(cp932.contains("\x81\x9D")) << cp932.toHex().toStdString();
    EXPECT_FALSE(cp932.contains(QStringLiteral("◎").toUtf8()));
    const QByteArray utf8WithMark = "\xEF\xBB\xBF" + marksCsvText(marked->allMarks().value).toUtf8();
    // Without its header line every line is a row, the first one too.
    const QByteArray headerless
        = marksCsvText(marked->allMarks().value).section(QStringLiteral("\r\n"), 1).toUtf8();

    for (const QByteArray &bytes : {cp932, utf8WithMark, headerless}) {
        test::TestFolder other;
        auto fresh = journalWithRaces(other.file(QStringLiteral("journal.sqlite")));
        const MarksImport imported = importMarks(*fresh, bytes);
        ASSERT_TRUE(imported.status.ok()) << imported.status.message().toStdString();
        EXPECT_TRUE(imported.unplaced.empty());
        EXPECT_EQ(marksOf(*fresh), marksOf(*marked));
    }

    // The card of race 12 changed: the horses of 2 and 4 swapped numbers, a
    // new horse stands at 3. The rows follow the horses; 3's horse is gone.
    recordCard(*marked, 1, 12,
        {horseUrl(1, 12, 1), horseUrl(1, 12, 4), QStringLiteral("http://site1.example/horse/new/"),
            horseUrl(1, 12, 2)});
    const QStringList race12
        = marksCsvText(marked->allMarks().value).split(QStringLiteral("\r\n")).filter(QStringLiteral(",12,"));
    EXPECT_EQ(race12,
        QStringList(
            {QStringLiteral("2026-11-29,東京,12,2,△,1"), QStringLiteral("2026-11-29,東京,12,4,○,1")}));
}

}  // namespace
}  // namespace marunoki
