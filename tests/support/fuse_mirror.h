#pragma once
// A folder seen through bindfs, a user-space file system without rename's
// exchange of two names (renameat2 answers EINVAL), mounted over itself. It
// needs bindfs and the superuser (or fuse rights); elsewhere mounted() is false
// and the test skips that part.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace marunoki::test {

class FuseMirror {
public:
    explicit FuseMirror(const QString &folder)
        : folder_(folder)
    {
        mounted_ = QProcess::execute(QStringLiteral("bindfs"), {folder_, folder_}) == 0;
    }
    ~FuseMirror()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("fusermount"), {QStringLiteral("-u"), folder_});
    }
    FuseMirror(const FuseMirror &) = delete;
    FuseMirror &operator=(const FuseMirror &) = delete;

    bool mounted() const { return mounted_; }

private:
    QString folder_;
    bool mounted_ = false;
};

}  // namespace marunoki::test
