#pragma once
// The tally's command-line options: their texts checked and turned into the
// request the window's form also makes, with the option named in every refusal.

#include "journal/tally_request.h"

#include <QDate>
#include <QString>

#include <optional>

namespace marunoki {

// The filter's values as typed; an empty text does not filter.
struct TallyOptions {
    QString from, to;  // YYYY-MM-DD
    QString site;  // "1" or "2"
    QString course;  // a course name (東京) or its code (05)
    QString surface;  // 芝 or ダ
    QString distance, runners;  // "A-B" or "A"
    QString by;  // mean, best, mean90, popularity, mark
    QString group;  // course, surface, distance, month, field
};

// The request of the options, or a failure naming the first option that is not one.
Result<TallyRequest> parseTallyRequest(const TallyOptions &options);

// A date option (named in the error) as YYYY-MM-DD; an empty text leaves date
// as it is. False with error set when the text is no such date.
bool readDateOption(const QString &option, const QString &text, std::optional<QDate> &date, QString &error);

}  // namespace marunoki
