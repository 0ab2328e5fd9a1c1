#include "web/meeting_calendar.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "web/cell_rules.h"
#include "web/page_loader.h"
#include "web/page_table.h"

namespace marunoki {

namespace {

const QString kHeader = QStringLiteral("月日");

// One day of three rows from row q: the day and first meeting, then two meetings.
void readDay(const PageTable &table, int q, int day, CalendarTexts &texts)
{
    texts.days[day] = table.cell(q, 1);
    texts.meetings[3 * day] = table.cell(q, 2);
    texts.meetings[3 * day + 1] = table.cell(q + 1, 1);
    texts.meetings[3 * day + 2] = table.cell(q + 2, 1);
}

// The second day of a table headed at row p: the first non-empty first cell in
// the four rows after the first day, if it is among the first four and holds
// "月". Returns how many rows were passed over to find a non-empty cell (5 when
// there was none).
int readSecondDay(const PageTable &table, int p, int day, CalendarTexts &texts)
{
    int skipped = 0;
    while (skipped <= 4 && table.cell(p + 4 + skipped, 1).isEmpty())
        ++skipped;
    if (skipped <= 3 && table.cell(p + 4 + skipped, 1).contains(u'月'))
        readDay(table, p + 4 + skipped, day, texts);
    return skipped;
}

}  // namespace

CalendarTexts parseKaisai(const PageTable &table, MessageSink &messages)
{
    const auto isHeader = [](const QString &c) { return c == kHeader; };
    CalendarTexts texts;
    const int p = firstRow(table, 1, 0, 99, isHeader);
    if (p < 0) {
        messages.message(QStringLiteral("開催情報読込みエラー"));
        return {};
    }
    readDay(table, p + 1, 0, texts);
    const int l = readSecondDay(table, p, 1, texts);

    // The second table's header is looked for from just after the first table's
    // header row, moved on by the rows passed over above.
    const int t = firstRow(table, 1, p + l + 1, 129, isHeader);
    if (t < 0) {
        messages.message(QStringLiteral("開催情報読込みエラー"));
        return {};
    }
    readDay(table, t + 1, 2, texts);
    readSecondDay(table, t, 3, texts);
    texts.filled = true;
    return texts;
}

MeetingSelection meetingSelection(const QString &caption)
{
    const MeetingSelection unreadable {QString(), QStringLiteral("00"), QString()};
    const qsizetype a = caption.indexOf(u'回');
    const qsizetype b = caption.indexOf(u'日');
    if (a < 0 || b < 0 || b < a + 3)
        return unreadable;
    const auto meeting = toWholeNumber(caption.left(a));
    const auto day = toWholeNumber(caption.mid(a + 3, b - a - 3));
    if (!meeting || !day || *meeting < 1 || *day < 1)
        return unreadable;
    const QString twoDigits = QStringLiteral("00");
    return {formatNumber(*meeting, twoDigits), formatNumber(*day, twoDigits), caption.mid(a + 1, 2)};
}

CalendarTexts MeetingCalendarReader::readKaisai(PageLoader &loader, const QString &url, MessageSink &messages)
{
    // No page check; the stop button ends this load as it ends a race's.
    const PageRequest calendar = request(
        QStringLiteral("開催情報 読込み中・・・"), {}, QStringLiteral("WebData読込みエラー(err-CA01)"));
    CalendarTexts texts;
    const PageStatus status
        = read(loader, url, calendar, [&](const PageTable &page) { texts = parseKaisai(page, messages); });
    // A page that never came has no table to parse: the calendar's own error,
    // with the address and the cause behind it.
    if (status != PageStatus::Read && !loader.failureDetail().isEmpty())
        messages.detailedMessage(QStringLiteral("開催情報読込みエラー"), loader.failureDetail());
    return texts;
}

}  // namespace marunoki
