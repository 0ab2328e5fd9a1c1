// A break in a card's horse numbers: the count stops there as it always has,
// but the runners after it are named and the load is marked incomplete.

#include "app/message_sink.h"
#include "app/race_store.h"
#include "web/page_table.h"
#include "web/site1_card_reader.h"
#include "web/site2_card_reader.h"

#include "support/site_pages.h"

#include <gtest/gtest.h>

#include <memory>

namespace marunoki {
namespace {

using namespace marunoki::test;

struct Break {
    const char *name;
    int runners;  // on the card
    int at;  // 0-based runner whose number cell is replaced (-1: none)
    QString cell;  // its number cell
    int counted;  // fieldSize afterwards
    QStringList leftOut;  // as named
};

TEST(CardBreak, RunnersAfterABreakInTheHorseNumbersAreNamedOnBothSites)
{
    const auto name = [](int n) { return QStringLiteral("見本ホース%1").arg(n, 2, 10, QLatin1Char('0')); };
    const auto rows = [&](int from, int to) {
        QStringList list;
        for (int n = from; n <= to; ++n)
            list.append(QStringLiteral("%1番 %2").arg(n).arg(name(n)));
        return list;
    };
    const Break cases[] = {
        {"whole card", 16, -1, {}, 16, {}},
        {"eighteen", 18, -1, {}, 18, {}},
        {"duplicate 5", 16, 5, QStringLiteral("5"), 5,
            QStringList {QStringLiteral("5番 ") + name(6)} + rows(7, 16)},
        {"gap after 3", 8, 3, QStringLiteral("5"), 3,
            QStringList {QStringLiteral("5番 ") + name(4)} + rows(5, 8)},
        {"nineteen", 19, -1, {}, 18, rows(19, 19)},
        {"scratched mark", 6, 4, QStringLiteral("取消"), 4,
            QStringList {name(5) + QStringLiteral("（馬番 取消）")} + rows(6, 6)},
        {"number lost", 6, 2, QString(), 2, QStringList {name(3)} + rows(4, 6)},
    };
    for (const bool site1 : {true, false}) {
        for (const Break &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (site1 ? ", site 1" : ", site 2"));
            RaceCard card = sampleCard(c.runners, site1);
            for (int i = 0; i < c.runners; ++i)
                card.runners[size_t(i)].name = name(i + 1);
            if (c.at >= 0)
                card.runners[size_t(c.at)].numberCell = c.cell;
            auto table = std::make_unique<PageTable>();
            RaceStore store;
            RecordingSink messages;
            if (site1) {
                splitPage(site1CardPage(card), *table);
                parseSyutuba(*table, store, messages);
            } else {
                splitPage(site2CardPage(card), *table);
                parseSyutuba02(*table, store, messages);
            }
            EXPECT_EQ(store.fieldSize, c.counted);
            EXPECT_EQ(store.gaps.leftOut, c.leftOut);
            EXPECT_EQ(store.gaps.complete(), c.leftOut.isEmpty());
            if (c.leftOut.isEmpty()) {
                EXPECT_TRUE(messages.messages().isEmpty()) << messages.messages().join(u'\n').toStdString();
            } else {
                ASSERT_EQ(messages.messages().size(), 1);
                for (const QString &runner : c.leftOut)
                    EXPECT_TRUE(messages.messages()[0].contains(runner))
                        << messages.messages()[0].toStdString();
            }
        }
    }
}

}  // namespace
}  // namespace marunoki
