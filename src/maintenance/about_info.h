#pragma once
// The texts of the about dialog and its "ｼｽﾃﾑ情報(&S)..." button, which starts the
// system's system-information tool. Windows finds that tool in the registry;
// here it is the first of a few known programs that is on the PATH.

#include <QString>
#include <QStringList>

#include <functional>

namespace marunoki {

class MessageSink;

struct AboutTexts {
    QString caption;  // title + "のﾊﾞｰｼﾞｮﾝ情報"
    QString title;  // the application title
    QString versionLine;  // "ﾊﾞｰｼﾞｮﾝ " + major.minor.revision, plain decimals
};

// The application title "Marunoki".
QString applicationTitle();

// The dialog's texts for a program version such as "1.3.2" or "1.03.0002" (both
// give "ﾊﾞｰｼﾞｮﾝ 1.3.2"); missing parts count as 0.
AboutTexts aboutTexts(const QString &title, const QString &version);

// The system-information programs looked for, in order of preference.
QStringList systemInfoCandidates();

// Finds a program by name; an empty text when there is none
// (QStandardPaths::findExecutable in the program).
using ProgramLookup = std::function<QString(const QString &name)>;
// Starts a program with no arguments, detached from this one; false on failure
// (QProcess::startDetached in the program).
using DetachedStart = std::function<bool(const QString &program)>;

// StartSysInfo: starts the first candidate that the lookup finds and that
// starts. When none does, shows "現時点ではｼｽﾃﾑ情報を使用できません". Returns
// whether a tool was started.
bool startSystemInfo(const ProgramLookup &lookup, const DetachedStart &start, MessageSink &sink);

// The same with the PATH lookup and a detached process.
bool startSystemInfo(MessageSink &sink);

}  // namespace marunoki
