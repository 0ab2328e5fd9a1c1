#pragma once
// A real full disk for the tests of the writers: a small tmpfs mounted over a
// test's folder, and a filler that takes up what room is left. Mounting needs
// the superuser in a namespace that allows it; elsewhere mounted() is false
// and the test skips (the injected failures of failing_file_system.h stand in).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

namespace marunoki::test {

class SmallTmpfs {
public:
    SmallTmpfs(const QString &where, qint64 bytes)
        : where_(QFile::encodeName(where))
    {
        const QByteArray options = "size=" + QByteArray::number(bytes);
        if (::mount("tmpfs", where_.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) == 0)
            mounted_ = true;
        else
            error_ = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallTmpfs()
    {
        if (mounted_)
            ::umount2(where_.constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs &) = delete;
    SmallTmpfs &operator=(const SmallTmpfs &) = delete;

    bool mounted() const { return mounted_; }
    const QString &error() const { return error_; }

private:
    QByteArray where_;
    bool mounted_ = false;
    QString error_;
};

// Writes a file of pages until the disk refuses another one.
inline void fillUp(const QString &path)
{
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray page(4096, 'f');
    while (filler.write(page) == page.size()) { }
}

}  // namespace marunoki::test
