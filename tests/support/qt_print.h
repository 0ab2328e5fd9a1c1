#pragma once
// Lets GoogleTest print QString values as readable UTF-8 in failure messages.
// Include it in any test file that compares QStrings.

#include <QString>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
