#include "view/view_text.h"

#include "app/format.h"

#include <cmath>

namespace marunoki {

QString goingMark(qint32 code)
{
    switch (code) {
    case 1:
        return QStringLiteral("良");
    case 2:
        return QStringLiteral("稍");
    case 3:
        return QStringLiteral("重");
    case 4:
        return QStringLiteral("不");
    default:
        return {};
    }
}

QString runningStyleMark(float v)
{
    if (v == 0.0f || std::isnan(v)) {
        return {};  // no index: no first-corner position to average
    }
    if (v < 2.0f) {
        return QStringLiteral("逃");
    }
    if (v < 3.0f) {
        return QStringLiteral("先");
    }
    if (v >= 6.0f) {
        return QStringLiteral("追");
    }
    return QStringLiteral("差");
}

QString figureText(float figure)
{
    // The pattern is chosen on the unrounded value, so 99.6 still takes "00" and
    // its rounding carries it to "100".
    return formatNumber(figure, figure >= 100.0f ? QStringLiteral("000") : QStringLiteral("00"));
}

}  // namespace marunoki
