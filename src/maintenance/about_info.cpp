#include "maintenance/about_info.h"

#include "app/message_sink.h"

#include <QProcess>
#include <QStandardPaths>
#include <QVersionNumber>

namespace marunoki {

QString applicationTitle()
{
    return QStringLiteral("Marunoki");
}

AboutTexts aboutTexts(const QString &title, const QString &version)
{
    // QVersionNumber reads "1.03.0002" as 1, 3, 2: the numbers are shown without
    // their leading zeros.
    const QVersionNumber number = QVersionNumber::fromString(version);
    AboutTexts texts;
    texts.caption = title + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報");
    texts.title = title;
    texts.versionLine = QStringLiteral("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
                            .arg(number.majorVersion())
                            .arg(number.minorVersion())
                            .arg(number.microVersion());
    return texts;
}

QStringList systemInfoCandidates()
{
    return {QStringLiteral("hardinfo"), QStringLiteral("gnome-system-monitor"), QStringLiteral("ksysguard"),
        QStringLiteral("plasma-systemmonitor")};
}

bool startSystemInfo(const ProgramLookup &lookup, const DetachedStart &start, MessageSink &sink)
{
    for (const QString &name : systemInfoCandidates()) {
        const QString program = lookup(name);
        if (!program.isEmpty() && start(program))
            return true;
    }
    sink.message(QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
    return false;
}

bool startSystemInfo(MessageSink &sink)
{
    return startSystemInfo([](const QString &name) { return QStandardPaths::findExecutable(name); },
        [](const QString &program) { return QProcess::startDetached(program, QStringList()); }, sink);
}

}  // namespace marunoki
