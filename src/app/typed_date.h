#pragma once
// A date as a user types it into a date box: "2026-11-29", "2026/11/29",
// "2026.11.29" or "20261129" (month and day may have one digit between
// separators); an empty box, or one showing "指定なし", is no bound.

#include <QDate>
#include <QString>

#include <optional>

namespace marunoki {

// What a box shows while it holds no date.
inline const QString kNoDateText = QStringLiteral("指定なし");

struct TypedDate {
    bool valid = true;  // false: the text is no date (the box says so)
    std::optional<QDate> date;  // nothing: no bound
};

[[nodiscard]] TypedDate readTypedDate(const QString &text);

// How a box shows a date (yyyy-MM-dd), or nothing for no bound.
[[nodiscard]] QString typedDateText(const std::optional<QDate> &date);

}  // namespace marunoki
