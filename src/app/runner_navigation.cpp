#include "app/runner_navigation.h"

#include "app/format.h"

namespace marunoki {

qint32 nextRunner(qint32 current, qint32 fieldSize)
{
    if (fieldSize <= 0)
        return 0;
    return current >= fieldSize || current < 1 ? 1 : current + 1;
}

qint32 previousRunner(qint32 current, qint32 fieldSize)
{
    if (fieldSize <= 0)
        return 0;
    return current <= 1 || current > fieldSize ? fieldSize : current - 1;
}

qint32 runnerFromBoxText(const QString &text, qint32 fieldSize)
{
    if (fieldSize <= 0)
        return 0;
    const std::optional<qint32> n = toWholeNumber(text);
    if (!n || *n < 1)
        return 0;
    return std::min(*n, fieldSize);
}

QStringList yearItems(int currentYear)
{
    // Four-digit years, as the race addresses need them. (Built from the whole
    // year rather than "20" + two digits, which would give "20-01" in 2000.)
    QStringList items;
    for (int y = currentYear - 1; y <= currentYear + 1; ++y)
        items << formatNumber(y, QStringLiteral("0000"));
    return items;
}

QStringList twoDigitItems(int count)
{
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items << formatNumber(i, QStringLiteral("00"));
    return items;
}

}  // namespace marunoki
