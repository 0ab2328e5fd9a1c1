#include "support/test_folder.h"

#include <QFile>

namespace marunoki::test {

TestFolder::TestFolder() = default;

QString TestFolder::path() const
{
    return dir_.path() + u'/';
}

QString TestFolder::copyIn(const QString &source, const QString &name) const
{
    const QString target = file(name);
    QFile::remove(target);
    QFile::copy(source, target);
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return target;
}

QString TestFolder::write(const QString &name, const QByteArray &bytes) const
{
    const QString target = file(name);
    QFile f(target);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return target;
}

QString testData(const QString &relative)
{
    return QStringLiteral(MARUNOKI_TESTDATA "/") + relative;
}

QString sourceFile(const QString &relative)
{
    return QStringLiteral(MARUNOKI_SOURCE_DIR "/") + relative;
}

}  // namespace marunoki::test
