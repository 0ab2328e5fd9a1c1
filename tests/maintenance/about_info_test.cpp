#include "maintenance/about_info.h"

#include "app/message_sink.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

using namespace marunoki;

namespace {

const QString kUnavailable = QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません");

}  // namespace

TEST(AboutTexts, ShowTheTitleAndTheVersionWithoutLeadingZeros)
{
    const struct {
        const char *version;
        const char *line;
    } cases[] = {
        {"1.3.2", "ﾊﾞｰｼﾞｮﾝ 1.3.2"},
        {"1.03.0002", "ﾊﾞｰｼﾞｮﾝ 1.3.2"},
        {"2.10", "ﾊﾞｰｼﾞｮﾝ 2.10.0"},
        {"", "ﾊﾞｰｼﾞｮﾝ 0.0.0"},
    };
    for (const auto &c : cases) {
        const AboutTexts texts = aboutTexts(applicationTitle(), QString::fromUtf8(c.version));
        EXPECT_EQ(texts.caption, QStringLiteral("Marunokiのﾊﾞｰｼﾞｮﾝ情報"));
        EXPECT_EQ(texts.title, QStringLiteral("Marunoki"));
        EXPECT_EQ(texts.versionLine, QString::fromUtf8(c.line)) << c.version;
    }
}

TEST(StartSystemInfo, SaysSoWhenNoToolIsThere)
{
    RecordingSink sink;
    QStringList started;
    const bool ok = startSystemInfo([](const QString &) { return QString(); },
        [&started](const QString &program) {
            started.append(program);
            return true;
        },
        sink);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(sink.messages(), QStringList {kUnavailable});
}

TEST(StartSystemInfo, StartsTheFirstToolThatIsFoundAndStarts)
{
    const struct {
        const char *name;
        QStringList installed;  // programs on the PATH
        QStringList broken;  // of those, the ones that fail to start
        QStringList tried;  // what was started, in order
        bool ok;
    } cases[] = {
        {"only one", {QStringLiteral("ksysguard")}, {}, {QStringLiteral("/usr/bin/ksysguard")}, true},
        {"the preferred one", {QStringLiteral("plasma-systemmonitor"), QStringLiteral("hardinfo")}, {},
            {QStringLiteral("/usr/bin/hardinfo")}, true},
        {"the next after a failed start",
            {QStringLiteral("hardinfo"), QStringLiteral("gnome-system-monitor")},
            {QStringLiteral("hardinfo")},
            {QStringLiteral("/usr/bin/hardinfo"), QStringLiteral("/usr/bin/gnome-system-monitor")}, true},
        {"none starts", {QStringLiteral("hardinfo")}, {QStringLiteral("hardinfo")},
            {QStringLiteral("/usr/bin/hardinfo")}, false},
    };
    for (const auto &c : cases) {
        RecordingSink sink;
        QStringList tried;
        const bool ok = startSystemInfo(
            [&c](const QString &name) {
                return c.installed.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
            },
            [&](const QString &program) {
                tried.append(program);
                return !c.broken.contains(program.section(u'/', -1));
            },
            sink);
        EXPECT_EQ(ok, c.ok) << c.name;
        EXPECT_EQ(tried, c.tried) << c.name;
        EXPECT_EQ(sink.messages(), c.ok ? QStringList() : QStringList {kUnavailable}) << c.name;
    }
}
