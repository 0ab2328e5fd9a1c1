#pragma once
// The small routines every subsystem shares: text-to-code conversions, space
// removal, rounding up, and the application folder.

#include <QString>

namespace marunoki {

// The program's title, as its main window and its message boxes show it.
inline const QString kProgramTitle = QStringLiteral("中央競馬もMarunoki");

// Going code of a going text: 1 "良", 2 "稍", 3 "重", 4 "不"; anything else 0.
// Only the single characters count ("稍重" is 0); readers pass the first character.
qint32 babaCode(const QString &text);

// The text with every half-width and full-width space removed.
QString stripSpaces(const QString &text);

// The smallest i in 1..10 whose course name equals the text, else 0.
qint32 zyoIndex(const QString &text);

// The smallest whole number not below the value (2.3 -> 3, 3.0 -> 3, -2.5 -> -2).
qint32 roundUp(float value);

// The application folder: the folder of the program file unless the command line
// named another one (--app-dir). Always ends in a separator ('/').
class AppFolder {
public:
    // The folder of the running executable.
    static AppFolder ofExecutable();
    // A folder named by the user; a missing trailing separator is added.
    explicit AppFolder(const QString &folder);

    // appPath: the folder with its trailing separator.
    const QString &path() const { return path_; }
    // appPath + file name, the way every file beside the program is named.
    QString file(const QString &name) const { return path_ + name; }

private:
    QString path_;
};

}  // namespace marunoki
