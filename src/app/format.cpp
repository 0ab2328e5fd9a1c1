#include "app/format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

// NOTES ON THE DESIGN
// - Number patterns are the classic Basic "Format" patterns. The value is first
//   taken to 15 significant decimal digits (what a double can promise) and then
//   rounded half away from zero in decimal, so 0.285 shown with two decimals is
//   0.29 and not the 0.28 a binary rounding would give.
// - A minus sign is written only when a non-zero digit is shown: -0.04 as "0.0" is
//   "0.0", not "-0.0".
// - A pattern with a decimal point always writes the point, even when every
//   fraction placeholder is "#" and nothing follows it (5 as "0.##" is "5."),
//   the way the platform's formatter does.
// - Dates use the proleptic Gregorian calendar for years 1..9999; serial day 0 is
//   1899-12-30 and earlier days are negative.

namespace marunoki {

namespace {

// ---------------------------------------------------------------- number patterns

struct NumberPattern {
    enum class Kind { Literal, Digit, Point };
    struct Token {
        Kind kind = Kind::Literal;
        QString text;  // Literal
        bool zero = false;  // Digit: "0" (always shown) rather than "#"
    };
    std::vector<Token> tokens;
    int intPlaces = 0;  // digit placeholders before the point
    int fracPlaces = 0;  // digit placeholders after the point
    int minInt = 0;  // integer digits always shown (from the first "0" on)
    int minFrac = 0;  // fraction digits always shown (up to the last "0")
    bool percent = false;
    bool hasPoint = false;
};

NumberPattern parseNumberPattern(const QString &pattern)
{
    NumberPattern p;
    int firstIntZero = -1;
    auto literal = [&p](const QString &text) {
        if (!p.tokens.empty() && p.tokens.back().kind == NumberPattern::Kind::Literal)
            p.tokens.back().text += text;
        else
            p.tokens.push_back({NumberPattern::Kind::Literal, text, false});
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'0' || c == u'#') {
            p.tokens.push_back({NumberPattern::Kind::Digit, QString(), c == u'0'});
            if (p.hasPoint) {
                ++p.fracPlaces;
                if (c == u'0')
                    p.minFrac = p.fracPlaces;
            } else {
                if (c == u'0' && firstIntZero < 0)
                    firstIntZero = p.intPlaces;
                ++p.intPlaces;
            }
        } else if (c == u'.' && !p.hasPoint) {
            p.hasPoint = true;
            p.tokens.push_back({NumberPattern::Kind::Point, QString(), false});
        } else if (c == u'%') {
            p.percent = true;
            literal(QStringLiteral("%"));
        } else if (c == u'\\' && i + 1 < pattern.size()) {
            literal(QString(pattern.at(++i)));
        } else if (c == u'"') {
            const qsizetype end = pattern.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end;
            literal(pattern.mid(i + 1, stop - i - 1));
            i = stop;
        } else {
            literal(QString(c));
        }
    }
    p.minInt = firstIntZero < 0 ? 0 : p.intPlaces - firstIntZero;
    return p;
}

// |value| rounded half away from zero to `decimals` fraction digits, as decimal
// digit text: the integer digits without leading zeros (empty for 0) and exactly
// `decimals` fraction digits.
struct RoundedDigits {
    std::string whole;
    std::string fraction;
};

RoundedDigits roundDecimal(double value, int decimals)
{
    RoundedDigits out;
    const double magnitude = std::fabs(value);
    if (!(magnitude > 0) || !std::isfinite(magnitude)) {
        out.fraction.assign(static_cast<size_t>(decimals), '0');
        return out;
    }
    // 15 significant digits: "d.dddddddddddddde+XX".
    std::array<char, 64> buf {};
    const auto res
        = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, std::chars_format::scientific, 14);
    const std::string text(buf.data(), res.ptr);
    const size_t ePos = text.find('e');
    std::string sig;
    for (size_t i = 0; i < ePos; ++i) {
        if (text[i] != '.')
            sig.push_back(text[i]);
    }
    const int exponent = std::stoi(text.substr(ePos + 1));
    // Digits kept: those before the point (exponent + 1) plus the decimals.
    const long keep = static_cast<long>(exponent) + 1 + decimals;
    std::string digits;
    if (keep > 0) {
        for (long i = 0; i < keep; ++i)
            digits.push_back(i < static_cast<long>(sig.size()) ? sig[static_cast<size_t>(i)] : '0');
    }
    const char next
        = (keep >= 0 && keep < static_cast<long>(sig.size())) ? sig[static_cast<size_t>(keep)] : '0';
    if (next >= '5') {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<size_t>(i)] == '9')
            digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0)
            ++digits[static_cast<size_t>(i)];
        else
            digits.insert(digits.begin(), '1');
    }
    if (digits.size() < static_cast<size_t>(decimals))
        digits.insert(0, static_cast<size_t>(decimals) - digits.size(), '0');
    out.fraction = digits.substr(digits.size() - static_cast<size_t>(decimals));
    out.whole = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    const size_t firstNonZero = out.whole.find_first_not_of('0');
    out.whole = firstNonZero == std::string::npos ? std::string() : out.whole.substr(firstNonZero);
    return out;
}

// ---------------------------------------------------------------- calendar

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

Ymd civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// constexpr: serial dates computed during static initialisation elsewhere must
// not see this still at 0.
constexpr std::int64_t kSerialEpoch = daysFromCivil(1899, 12, 30);
constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

bool isLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static constexpr std::array<int, 12> days {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : days[static_cast<size_t>(m - 1)];
}

QString padded(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QChar(u'0'));
}

// ---------------------------------------------------------------- text scanning

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000' || c == u'\u00a0';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QStringView trimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// Reads a run of ASCII digits at `pos`; nothing when there is none or it is longer
// than `maxLen`.
std::optional<int> readDigits(QStringView text, qsizetype &pos, int maxLen, int *length = nullptr)
{
    const qsizetype start = pos;
    int value = 0;
    while (pos < text.size() && isAsciiDigit(text.at(pos))) {
        if (pos - start >= maxLen)
            return std::nullopt;
        value = value * 10 + (text.at(pos).unicode() - u'0');
        ++pos;
    }
    if (pos == start)
        return std::nullopt;
    if (length)
        *length = static_cast<int>(pos - start);
    return value;
}

void skipBlanks(QStringView text, qsizetype &pos)
{
    while (pos < text.size() && isBlank(text.at(pos)))
        ++pos;
}

// Two-digit years are this century's; years of one or three digits are not
// accepted (they are more likely counts or positions than dates).
std::optional<int> fullYear(int year, int digits)
{
    if (digits == 4)
        return year;
    if (digits == 2)
        return 2000 + year;
    return std::nullopt;
}

}  // namespace

QString formatNumber(double value, const QString &pattern)
{
    if (std::isnan(value))
        value = 0;  // nothing sensible to show; a figure of 0 means "no figure"
    const NumberPattern p = parseNumberPattern(pattern);
    if (p.percent)
        value *= 100;
    const RoundedDigits digits = roundDecimal(value, p.fracPlaces);

    std::string whole = digits.whole;
    if (whole.size() < static_cast<size_t>(p.minInt))
        whole.insert(0, static_cast<size_t>(p.minInt) - whole.size(), '0');
    std::string fraction = digits.fraction;
    while (fraction.size() > static_cast<size_t>(p.minFrac) && fraction.back() == '0')
        fraction.pop_back();

    // A negative value keeps its sign even when it rounds to zero (-0.3 as "00"
    // is "-00"): the figure was below zero, and the reader should see so. A
    // negative zero is zero.
    QString out;
    if (value < 0)
        out.append(u'-');

    // Integer placeholders take the digits right-aligned; the first one also takes
    // any digits the pattern has no room for.
    const int excess = static_cast<int>(whole.size()) - p.intPlaces;
    int intSeen = 0;
    int fracSeen = 0;
    bool afterPoint = false;
    for (const auto &token : p.tokens) {
        switch (token.kind) {
        case NumberPattern::Kind::Literal:
            out += token.text;
            break;
        case NumberPattern::Kind::Point:
            afterPoint = true;
            if (p.intPlaces == 0)
                out += QString::fromLatin1(whole.data(), static_cast<qsizetype>(whole.size()));
            out.append(u'.');
            break;
        case NumberPattern::Kind::Digit:
            if (afterPoint) {
                if (fracSeen < static_cast<int>(fraction.size()))
                    out.append(QLatin1Char(fraction[static_cast<size_t>(fracSeen)]));
                ++fracSeen;
            } else {
                const int index = intSeen + excess;
                if (intSeen == 0 && excess > 0)
                    out += QString::fromLatin1(whole.data(), excess + 1);
                else if (index >= 0)
                    out.append(QLatin1Char(whole[static_cast<size_t>(index)]));
                ++intSeen;
            }
            break;
        }
    }
    // A pattern without any integer placeholder still shows the whole part, at the
    // end when there is no point either.
    if (p.intPlaces == 0 && !p.hasPoint)
        out += QString::fromLatin1(whole.data(), static_cast<qsizetype>(whole.size()));
    return out;
}

QString formatDate(double serial, const QString &pattern)
{
    const Ymd date = ymdFromSerial(serial);
    QString out;
    qsizetype i = 0;
    auto runLength = [&pattern, &i](QChar c) {
        qsizetype n = 0;
        while (i + n < pattern.size() && pattern.at(i + n).toLower() == c)
            ++n;
        return n;
    };
    while (i < pattern.size()) {
        const QChar c = pattern.at(i).toLower();
        if (c == u'y') {
            const qsizetype n = runLength(c);
            if (n >= 4) {
                out += padded(date.year, 4);
                i += 4;
            } else if (n >= 2) {
                out += padded(date.year % 100, 2);
                i += 2;
            } else {
                // A single "y" is the day of the year.
                const auto first = serialFromYmd(date.year, 1, 1);
                const double today = serialFromYmd(date.year, date.month, date.day).value_or(0);
                out += QString::number(static_cast<qint64>(today - first.value_or(today)) + 1);
                ++i;
            }
        } else if (c == u'm' || c == u'd') {
            const int part = c == u'm' ? date.month : date.day;
            if (runLength(c) >= 2) {
                out += padded(part, 2);
                i += 2;
            } else {
                out += QString::number(part);
                ++i;
            }
        } else if (c == u'\\' && i + 1 < pattern.size()) {
            out.append(pattern.at(i + 1));
            i += 2;
        } else if (c == u'"') {
            const qsizetype end = pattern.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? pattern.size() : end;
            out += pattern.mid(i + 1, stop - i - 1);
            i = stop + 1;
        } else {
            out.append(pattern.at(i));
            ++i;
        }
    }
    return out;
}

namespace {

template <typename T>
QString shortestText(T value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    if (value == 0)
        return QStringLiteral("0");  // also for -0
    std::array<char, 512> buf {};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed);
    if (res.ec != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buf.data(), res.ptr - buf.data());
}

}  // namespace

QString plainNumber(float value)
{
    return shortestText(value);
}

QString plainNumber(double value)
{
    return shortestText(value);
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double diff = value - below;
    double result = below;
    if (diff > 0.5)
        result = below + 1;
    else if (diff == 0.5)
        result = std::fmod(below, 2.0) == 0 ? below : below + 1;
    return result == 0 ? 0.0 : result;  // no negative zero
}

std::optional<double> toNumber(const QString &text)
{
    const QStringView body = trimmedBlanks(text);
    std::string ascii;
    ascii.reserve(static_cast<size_t>(body.size()));
    qsizetype pos = 0;
    if (pos < body.size() && (body.at(pos) == u'+' || body.at(pos) == u'-')) {
        if (body.at(pos) == u'-')
            ascii.push_back('-');
        ++pos;
    }
    bool digit = false;
    bool point = false;
    for (; pos < body.size(); ++pos) {
        const QChar c = body.at(pos);
        if (isAsciiDigit(c)) {
            digit = true;
            ascii.push_back(static_cast<char>(c.unicode()));
        } else if (c == u'.' && !point) {
            point = true;
            ascii.push_back('.');
        } else {
            return std::nullopt;
        }
    }
    if (!digit)
        return std::nullopt;
    double value = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value == 0 ? 0.0 : value;
}

bool isNumeric(const QString &text)
{
    return toNumber(text).has_value();
}

std::optional<qint32> toWholeNumber(const QString &text)
{
    const auto number = toNumber(text);
    if (!number)
        return std::nullopt;
    const double whole = roundHalfEven(*number);
    if (whole < std::numeric_limits<qint32>::min() || whole > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(whole);
}

std::optional<double> serialFromYmd(int year, int month, int day)
{
    if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1
        || day > daysInMonth(year, month))
        return std::nullopt;
    return static_cast<double>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kSerialEpoch);
}

Ymd ymdFromSerial(double serial)
{
    // Anything outside years 1..9999 (or not a number) is no date at all.
    static const double lowest = *serialFromYmd(kMinYear, 1, 1);
    static const double highest = *serialFromYmd(kMaxYear, 12, 31);
    const double whole = std::trunc(serial);
    if (!(whole >= lowest && whole <= highest))
        return Ymd {};
    return civilFromDays(static_cast<std::int64_t>(whole) + kSerialEpoch);
}

std::optional<double> parseDate(const QString &text)
{
    const QStringView body = trimmedBlanks(text);
    qsizetype pos = 0;
    int yearDigits = 0;
    const auto year = readDigits(body, pos, 4, &yearDigits);
    if (!year || pos >= body.size())
        return std::nullopt;

    const QChar separator = body.at(pos);
    const bool kanji = separator == u'年';
    if (!kanji && separator != u'/' && separator != u'-')
        return std::nullopt;
    ++pos;
    if (kanji)
        skipBlanks(body, pos);
    const auto month = readDigits(body, pos, 2);
    if (!month || pos >= body.size())
        return std::nullopt;
    if (body.at(pos) != (kanji ? QChar(u'月') : separator))
        return std::nullopt;
    ++pos;
    if (kanji)
        skipBlanks(body, pos);
    const auto day = readDigits(body, pos, 2);
    if (!day)
        return std::nullopt;
    if (kanji) {
        if (pos >= body.size() || body.at(pos) != u'日')
            return std::nullopt;
        ++pos;
    }
    if (pos != body.size())
        return std::nullopt;
    const auto fullYearValue = fullYear(*year, yearDigits);
    if (!fullYearValue)
        return std::nullopt;
    return serialFromYmd(*fullYearValue, *month, *day);
}

}  // namespace marunoki
