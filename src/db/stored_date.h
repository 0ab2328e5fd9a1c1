#pragma once
// The text form in which database files store dates: ISO 'YYYY-MM-DD', followed
// by ' HH:MM:SS' only when the value has a time of day. Dates in the program are
// serial day counts since 1899-12-30 (the Access DateTime value), so these
// conversions link the two. They allocate no Qt objects: the Access importer
// runs them in a child process that uses nothing but libmdb and SQLite.

#include <optional>
#include <string>

namespace marunoki {

// 'YYYY-MM-DD' of the whole day of a serial date (its fraction is dropped, so a
// run at any hour of 7 October 2006 gives '2006-10-07'). Empty outside the years
// 1..9999.
std::string storedDay(double serial);
// The day after storedDay(serial); the exclusive upper bound of that day's texts.
std::string storedNextDay(double serial);

// The stored text of an Access DateTime value: 'YYYY-MM-DD', plus ' HH:MM:SS'
// when the time of day is not midnight (rounded to the second). As in Access, a
// negative value counts days back from 1899-12-30 and its fraction is still a
// time of day forward from that day's midnight (-1.25 is 1899-12-29 06:00:00).
std::string storedDateTime(double accessValue);

// Serial date of a stored text: 'YYYY-MM-DD' with an optional ' HH:MM:SS' (or
// 'T' as separator) whose time becomes the fraction. Nothing for any other text
// or an impossible date.
std::optional<double> serialFromStored(const std::string &text);

}  // namespace marunoki
