#pragma once
// A fresh temporary folder per test, removed afterwards, and the paths of the
// project's own test data.

#include <QString>
#include <QTemporaryDir>

namespace marunoki::test {

class TestFolder {
public:
    TestFolder();
    // The folder with a trailing '/'.
    QString path() const;
    QString file(const QString &name) const { return path() + name; }
    // Copies a file into the folder under the given name; returns the new path.
    QString copyIn(const QString &source, const QString &name) const;
    // Writes bytes to a file in the folder; returns its path.
    QString write(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir dir_;
};

// A test data file kept in tests/data (the real Access files; read-only).
QString testData(const QString &relative);
// A file of this repository, by its path from the top folder.
QString sourceFile(const QString &relative);

}  // namespace marunoki::test
