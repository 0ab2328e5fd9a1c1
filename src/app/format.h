#pragma once
// Number and date formats, number and date parsing, and the rounding rules of the
// program's output. Every text the program shows or writes goes through these.
//
// Dates are serial day counts since 1899-12-30 held in doubles (0 = no date;
// whole days, a fraction is a time of day).

#include <QString>

#include <optional>

namespace marunoki {

// Formats a number with a pattern made of "0" (digit, padded), "#" (digit, not
// padded), "." (decimal point), "%" (multiplies by 100) and literal text. Rounds
// half away from zero; a negative value gets its minus sign in front of the whole
// text (-5 as "00" is "-05", -0.3 as "00" is "-00"); 0 as "##" is empty; 0.8 as
// "##.0" is ".8".
QString formatNumber(double value, const QString &pattern);

// Formats a serial date with "yyyy", "yy", "mm", "m", "dd", "d" and literal text
// such as "/" ("yyyy/mm/dd", "yy/m/d", "yymmdd", "mmdd").
QString formatDate(double serial, const QString &pattern);

// Plain number text: the shortest decimal text that reads back as the same float
// (57, 55.5, -8.5, 0.3); no exponent for the magnitudes the program handles.
QString plainNumber(float value);
QString plainNumber(double value);

// Rounds to the nearest whole number, halves to the even neighbour (56.5 -> 56,
// 57.5 -> 58, -0.5 -> 0).
double roundHalfEven(double value);

// True when the text reads as a number: optional surrounding blanks, an optional
// sign, digits with at most one decimal point (at least one digit). The empty text
// is not a number. Full-width digits are not accepted.
bool isNumeric(const QString &text);
// The value of a text that isNumeric accepts; nothing otherwise.
std::optional<double> toNumber(const QString &text);
// A numeric text converted to a 32-bit whole number, halves to even ("1600" ->
// 1600, "2.5" -> 2); nothing when the text is not numeric or out of range.
std::optional<qint32> toWholeNumber(const QString &text);

// Serial day count of a calendar date; nothing for an impossible date.
std::optional<double> serialFromYmd(int year, int month, int day);
struct Ymd {
    int year = 1899;
    int month = 12;
    int day = 30;
};
// Calendar date of a serial day count (its whole-day part).
Ymd ymdFromSerial(double serial);

// General date parser, year-month-day order: "2007/5/27", "2007-05-27",
// "07/5/27" (two-digit years are 20yy), "2007年5月27日" (trailing text after 日 is
// not part of the date). Nothing when the text is not a date.
std::optional<double> parseDate(const QString &text);

}  // namespace marunoki
