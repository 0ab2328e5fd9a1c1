// A settings rewrite that dies at any moment (power cut, kill, crash) must leave
// the settings file as it was before or as the finished rewrite makes it: never
// empty, never half of one and half of the other. The writer runs in a child
// process that is killed at random moments while it rewrites in a loop.

#include "settings/ini_file.h"

#include "support/crash_harness.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace marunoki;
using namespace marunoki::test;

namespace {

using namespace std::chrono_literals;

// Two values of very different lengths, so that any mix of the two files, or a
// file cut short, differs from both.
QString siteValue(int i)
{
    return i % 2 == 0 ? QStringLiteral("http://127.0.0.1:8080/") + QString(1800, u'あ')
                      : QStringLiteral("http://example.invalid/");
}

bool writeSite(const QString &path, int i)
{
    return writeProfileString(QStringLiteral("web"), QStringLiteral("site1"), siteValue(i), path).ok();
}

}  // namespace

TEST(SettingsCrashSafety, AKilledRewriteLeavesTheOldOrTheNewFile)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("marunoki.ini"));
    ASSERT_TRUE(
        writeProfileString(QStringLiteral("graph"), QStringLiteral("kakeritu"), QStringLiteral("0.3"), path)
            .ok());
    ASSERT_TRUE(writeSite(path, 0));
    const QByteArray even = fileBytes(path).value_or(QByteArray());
    ASSERT_TRUE(writeSite(path, 1));
    const QByteArray odd = fileBytes(path).value_or(QByteArray());
    ASSERT_TRUE(writeSite(path, 0));
    ASSERT_EQ(fileBytes(path), even);  // the loop below only ever toggles between the two
    ASSERT_NE(even, odd);

    const CrashRun run = crashRepeatedly(
        [&path](int i) { writeSite(path, i); }, [&] { return unlessOneOf(path, even, odd); }, 40, 80ms);

    EXPECT_TRUE(run.faults.isEmpty()) << run.faults.join(u'\n').toStdString();
    EXPECT_EQ(run.rounds, 40);
    // Some kills landed after whole writes, not only inside the first (a write
    // takes about 1 ms, or 15 ms under the sanitizers).
    EXPECT_GT(run.killedDuringSequence, 0);
    // The file still reads as a settings file with both keys.
    const IniFile ini = IniFile::read(path);
    EXPECT_EQ(ini.value(QStringLiteral("graph"), QStringLiteral("kakeritu")), QStringLiteral("0.3"));
    EXPECT_TRUE(ini.value(QStringLiteral("web"), QStringLiteral("site1")).has_value());
}

TEST(SettingsCrashSafety, AKilledFirstWriteLeavesNoFileOrAWholeOne)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("marunoki.ini"));
    ASSERT_TRUE(writeSite(path, 0));
    const QByteArray first = fileBytes(path).value_or(QByteArray());
    ASSERT_TRUE(writeSite(path, 1));
    const QByteArray second = fileBytes(path).value_or(QByteArray());

    // Each round starts without a file; the child's first write creates it.
    const CrashRun run = crashRepeatedly(
        [&path](int i) {
            if (i == 0)
                QFile::remove(path);
            writeSite(path, i);
        },
        [&] {
            // A first write killed before its rename leaves no file: that is whole too.
            const QString fault = QFile::exists(path) ? unlessOneOf(path, first, second) : QString();
            QFile::remove(path);
            return fault;
        },
        40, 15ms);

    EXPECT_TRUE(run.faults.isEmpty()) << run.faults.join(u'\n').toStdString();
    EXPECT_EQ(run.rounds, 40);
}

TEST(SettingsCrashSafety, KilledRewritesLeaveNoStrayCopies)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("marunoki.ini"));
    ASSERT_TRUE(writeSite(path, 0));
    crashRepeatedly([&path](int i) { writeSite(path, i); }, [] { return QString(); }, 30, 10ms);
    EXPECT_EQ(strayFiles(folder.path(), QStringLiteral("marunoki.ini")), QStringList());
    EXPECT_TRUE(QFile::exists(path));
}
