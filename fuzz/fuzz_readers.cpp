// Fuzz target: a page as arbitrary bytes, read by every site reader.
//
// The bytes go through the browser's view of a page (extractBodyHtml) and, so
// that the splitter and the readers also meet text no HTML parser would write,
// straight in as body HTML. Each page table is then offered to every page check
// and every parse: the two race cards, the two horse histories (for a runner in
// the middle of the field), the meeting calendar and the meeting-click rule on
// every text it found. Besides not crashing or hanging, the readers must keep the
// race store's promises: at most 18 runners, addresses only for those runners,
// Site 1 brackets 1..8, at most 49 past runs, each inside the 420-day window,
// and only the current runner's runs written.

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "web/html_body.h"
#include "web/meeting_calendar.h"
#include "web/page_table.h"
#include "web/site1_card_reader.h"
#include "web/site1_horse_reader.h"
#include "web/site2_card_reader.h"
#include "web/site2_horse_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace marunoki;

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "readers fuzz check failed: %s\n", what);
        std::abort();
    }
}

void checkCard(const RaceStore &store, bool site1)
{
    check(store.fieldSize >= 0 && store.fieldSize <= kMaxRunners, "field size 0..18");
    for (int n = 1; n <= kMaxRunners; ++n) {
        if (n > store.fieldSize)
            check(store.horses[n].pageAddress.isEmpty(), "no address past the field");
        else if (site1)
            check(store.horses[n].runs[0].bracket >= 1 && store.horses[n].runs[0].bracket <= 8,
                "Site 1 bracket 1..8");
    }
    check(store.horses[0].pageAddress.isEmpty() && store.horses[0].name.isEmpty(), "slot 0 stays empty");
}

void checkHistory(const RaceStore &store, int runner)
{
    for (int n = 0; n <= kMaxRunners; ++n) {
        for (int r = 1; r <= kMaxRuns; ++r) {
            const double date = store.horses[n].runs[r].date;
            if (n != runner) {
                check(date == 0 && store.horses[n].runs[r].course.isEmpty(),
                    "only the current runner is written");
                continue;
            }
            check(r < kMaxRuns || date == 0, "at most 49 runs");
            check(date == 0 || (date > store.raceDate - 420 && date < store.raceDate),
                "runs inside the window");
            if (r > 1 && date > 0)
                check(store.horses[n].runs[r - 1].date > 0, "runs without gaps");
        }
    }
}

void readTable(const PageTable &table)
{
    RecordingSink messages;
    checkSyutuba(table);
    checkSyutuba02(table);
    checkUma(table);
    checkUma02(table);

    for (const bool site1 : {true, false}) {
        auto store = std::make_unique<RaceStore>();
        if (site1)
            parseSyutubaPage(table, QStringLiteral("https://a.example"), *store, messages);
        else
            parseSyutuba02Page(table, QStringLiteral("https://b.example"), *store, messages);
        checkCard(*store, site1);
    }

    for (const bool site1 : {true, false}) {
        auto store = std::make_unique<RaceStore>();
        store->raceDate = *serialFromYmd(2007, 6, 24);
        store->fieldSize = 16;
        if (site1)
            parseUmaPage(table, *store, 7, messages);
        else
            parseUma02(table, *store, 7, messages);
        checkHistory(*store, 7);
    }

    const CalendarTexts texts = parseKaisai(table, messages);
    for (const QString &caption : texts.meetings) {
        const MeetingSelection s = meetingSelection(caption);
        check(s.day.size() >= 2, "day box has two digits");
        check(s.meeting.isEmpty() == s.course.isEmpty(), "meeting and course come together");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    auto table = std::make_unique<PageTable>();
    const QString body = extractBodyHtml(bytes, QByteArray());
    if (!body.isNull()) {
        splitPage(body, *table);
        readTable(*table);
    }
    splitPage(QString::fromUtf8(bytes), *table);
    readTable(*table);
    return 0;
}
