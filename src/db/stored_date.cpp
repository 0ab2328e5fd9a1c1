#include "db/stored_date.h"

#include "app/format.h"

#include <cmath>
#include <cstdio>

namespace marunoki {

namespace {

// Serial dates outside the years 1..9999 are no dates.
bool inRange(double whole)
{
    return std::isfinite(whole) && whole >= *serialFromYmd(1, 1, 1) && whole <= *serialFromYmd(9999, 12, 31);
}

std::string dayText(double whole)
{
    if (!inRange(whole))
        return std::string();
    const Ymd date = ymdFromSerial(whole);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

bool digitsAt(const std::string &text, std::size_t at, std::size_t count, int &value)
{
    if (at + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::string storedDay(double serial)
{
    return dayText(std::trunc(serial));
}

std::string storedNextDay(double serial)
{
    return dayText(std::trunc(serial) + 1);
}

std::string storedDateTime(double accessValue)
{
    double day = std::trunc(accessValue);
    if (!inRange(day))
        return std::string();
    auto seconds = static_cast<long long>(std::llround(std::fabs(accessValue - day) * 86400.0));
    if (seconds >= 86400) {
        // Rounding reached the next midnight.
        seconds = 0;
        day += accessValue < 0 ? -1 : 1;
    }
    std::string text = dayText(day);
    if (seconds != 0 && !text.empty()) {
        char time[16];
        std::snprintf(time, sizeof time, " %02d:%02d:%02d", static_cast<int>(seconds / 3600),
            static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
        text += time;
    }
    return text;
}

std::optional<double> serialFromStored(const std::string &text)
{
    int year = 0, month = 0, day = 0;
    // Each group of digits is checked to be there before the character after it is
    // read (at the text's end that character is its terminating zero).
    if (!digitsAt(text, 0, 4, year) || text[4] != '-' || !digitsAt(text, 5, 2, month) || text[7] != '-'
        || !digitsAt(text, 8, 2, day))
        return std::nullopt;
    const std::optional<double> serial = serialFromYmd(year, month, day);
    if (!serial || text.size() == 10)
        return serial;
    int hour = 0, minute = 0, second = 0;
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T') || !digitsAt(text, 11, 2, hour)
        || text[13] != ':' || !digitsAt(text, 14, 2, minute) || text[16] != ':'
        || !digitsAt(text, 17, 2, second) || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
    // Access writes the time of a day before 1899-12-30 as a negative fraction.
    return *serial < 0 ? *serial - fraction : *serial + fraction;
}

}  // namespace marunoki
