#include "app/typed_date.h"

#include <QRegularExpression>

namespace marunoki {

TypedDate readTypedDate(const QString &text)
{
    // Full-width digits and separators, as a Japanese input method types them.
    const QString trimmed = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (trimmed.isEmpty() || trimmed == kNoDateText)
        return {};
    static const QRegularExpression separated(QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})$"));
    static const QRegularExpression joined(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    QRegularExpressionMatch match = separated.match(trimmed);
    if (!match.hasMatch())
        match = joined.match(trimmed);
    if (!match.hasMatch())
        return {false, std::nullopt};
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!date.isValid())
        return {false, std::nullopt};
    return {true, date};
}

QString typedDateText(const std::optional<QDate> &date)
{
    return date ? date->toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

}  // namespace marunoki
