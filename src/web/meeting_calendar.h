#pragma once
// The meeting calendar: the race days and meetings listed on Site 1's top page,
// and the choice of a meeting for the race selection.
//
// The top page lists race days in two tables, each headed by a row whose first
// cell is "月日". A day spans three rows: the first carries the day in cell 1 and
// its first meeting in cell 2, the next two one further meeting each in cell 1.
// Each table holds up to two days. A meeting text reads meeting number + "回" +
// two-character course name + day number + "日" (3回東京5日).

#include "web/reader_page.h"

#include <QString>

#include <array>

namespace marunoki {

class MessageSink;
class PageLoader;

// The calendar window's texts: days 0..3 and their meetings (day i holds meetings
// 3i..3i+2). filled is false when the page did not hold both tables; then every
// text is empty and the window's labels are not to be touched.
struct CalendarTexts {
    std::array<QString, 4> days;
    std::array<QString, 12> meetings;
    bool filled = false;
};

// Reads the calendar from the top page's table. A missing first or second "月日"
// header shows "開催情報読込みエラー" and returns nothing filled. A day row after
// the first day of a table is taken when it is among the next four rows, is the
// first of them with a non-empty first cell and holds "月"; otherwise that day
// stays empty.
CalendarTexts parseKaisai(const PageTable &table, MessageSink &messages);

// What a click on a meeting text puts into the race selection: the meeting box,
// the day box (both two digits) and the course box.
struct MeetingSelection {
    QString meeting;
    QString day;
    QString course;
};

// 3回東京5日 -> "03", "05", "東京"; 2回小倉10日 -> day "10". A caption that is
// empty or lacks "回" or "日" gives meeting "", day "00" and course "". A caption
// whose meeting or day part is not a positive whole number, or whose "日" comes
// before the course name ends, is treated the same way: nothing of it is trusted,
// so no box gets half of a wrong meeting.
MeetingSelection meetingSelection(const QString &caption);

// Holds the page table of the last top page it loaded.
class MeetingCalendarReader : public ReaderPage {
public:
    // Loads the top page at url (status text "開催情報 読込み中・・・"; no page
    // check) and parses the calendar. A page that could not be fetched gives
    // nothing filled and the message "開催情報読込みエラー" with the address and the
    // cause as its detail. The loader's stop flag stops it like a race load:
    // nothing filled and no message.
    CalendarTexts readKaisai(PageLoader &loader, const QString &url, MessageSink &messages);
};

}  // namespace marunoki
