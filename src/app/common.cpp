#include "app/common.h"

#include "app/race_store.h"

#include <QCoreApplication>
#include <QDir>

#include <cmath>
#include <limits>

namespace marunoki {

qint32 babaCode(const QString &text)
{
    if (text == QStringLiteral("良"))
        return 1;
    if (text == QStringLiteral("稍"))
        return 2;
    if (text == QStringLiteral("重"))
        return 3;
    if (text == QStringLiteral("不"))
        return 4;
    return 0;
}

QString stripSpaces(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c != QChar(u' ') && c != QChar(u'\u3000'))
            out.append(c);
    }
    return out;
}

qint32 zyoIndex(const QString &text)
{
    const auto &names = courseNames();
    for (int i = 1; i <= kCourseCount; ++i) {
        if (names[i] == text)
            return i;
    }
    return 0;
}

qint32 roundUp(float value)
{
    // Converting a float beyond the 32-bit range is undefined: such values (and
    // NaN) come only from broken data, so they are held at the range ends (0 for NaN).
    if (std::isnan(value))
        return 0;
    const double up = std::ceil(static_cast<double>(value));
    if (up >= static_cast<double>(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (up <= static_cast<double>(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(up);
}

AppFolder AppFolder::ofExecutable()
{
    return AppFolder(QCoreApplication::applicationDirPath());
}

AppFolder::AppFolder(const QString &folder)
    : path_(QDir::fromNativeSeparators(folder))
{
    if (path_.isEmpty())
        path_ = QStringLiteral("./");
    else if (!path_.endsWith(u'/'))
        path_.append(u'/');
}

}  // namespace marunoki
