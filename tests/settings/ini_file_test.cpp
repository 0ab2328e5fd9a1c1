#include "settings/ini_file.h"
#include "support/failing_file_system.h"
#include "support/qt_print.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

using namespace marunoki;
using marunoki::test::TestFolder;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// "サイト2", "表示" (its second byte is a backslash) and a comment, in CP932.
const QByteArray kSjisSite2("\x83\x54\x83\x43\x83\x67\x32");
const QByteArray kSjisHyouji("\x95\x5c\x8e\xa6");
const QByteArray kSjisComment("; \x90\xdd\x92\xe8\x83\x74\x83\x40\x83\x43\x83\x8b");

const QString kSite2 = QStringLiteral("サイト2");

}  // namespace

TEST(ReadIni, GivesTheDefaultForWhatIsNotThere)
{
    TestFolder dir;
    const QString path = dir.write(QStringLiteral("a.ini"),
        "[graph]\r\nkakeritu=0.35\r\nempty=\r\nblank=   \r\nquotes=\"\"\r\nnoequals\r\n");
    const struct {
        const char *section;
        const char *key;
        const char *expected;
    } cases[] = {
        {"graph", "kakeritu", "0.35"},
        {"graph", "missing", "DEF"},
        {"other", "kakeritu", "DEF"},
        {"graph", "empty", "DEF"},
        {"graph", "blank", "DEF"},
        {"graph", "quotes", "DEF"},
        {"graph", "noequals", "DEF"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(
            readIni(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QStringLiteral("DEF"), path),
            QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    }
    EXPECT_EQ(readIni(QStringLiteral("graph"), QStringLiteral("kakeritu"), QStringLiteral("DEF"),
                  dir.file(QStringLiteral("none.ini"))),
        QStringLiteral("DEF"));
    // The default comes back unchanged, blanks and all.
    EXPECT_EQ(readIni(QStringLiteral("x"), QStringLiteral("y"), QStringLiteral(" C:\\ "), path),
        QStringLiteral(" C:\\ "));
}

TEST(ReadIni, ReadsTheWayTheProfileCallsDo)
{
    TestFolder dir;
    const QString path = dir.write(QStringLiteral("a.ini"),
        "top=before any section\n"
        "; comment=not a key\n"
        "  [ Graph ]  \n"
        "  Key1  =  padded value  \n"
        "key2=\"quoted \"\n"
        "key3='single'\n"
        "key4=\"half\n"
        "key1=second one\n"
        "key5=a=b\n"
        "[graph]\n"
        "key6=in a later section of the same name\n"
        "[next]\n"
        "key7=7\n"
        "\t\v\fkey9\f\v\t=\f\t\vnine\v\f\t\n"
        " = nameless\n");
    const struct {
        const char *section;
        const char *key;
        const char *expected;
    } cases[] = {
        {"graph", "key1", "padded value"},  // case-insensitive, blanks removed, first key wins
        {"GRAPH", "KEY1", "padded value"},
        {"graph", "key2", "quoted"},  // quotes removed, then the spaces
        {"graph", "key3", "single"},
        {"graph", "key4", "\"half"},
        {"graph", "key5", "a=b"},
        {"graph", "key6", "-"},  // only the first section of a name counts
        {"graph", "key7", "-"},
        {"next", "key7", "7"},
        {"next", "", "nameless"},  // an entry may have an empty name
        {"next", "key9", "nine"},  // tabs, vertical tabs and form feeds are blanks too
        {"", "top", "-"},
        {"graph", "; comment", "-"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(readIni(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QStringLiteral("-"), path),
            QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    }
}

TEST(ReadIni, CutsLongValuesLikeA256CharacterBuffer)
{
    TestFolder dir;
    const QString longValue = QString(254, u'a') + QStringLiteral("bcdef");
    const QString path = dir.write(QStringLiteral("a.ini"),
        "[s]\nlong=" + longValue.toUtf8() + "\nspaced=" + QByteArray(254, 'x') + "   tail\n");
    EXPECT_EQ(readIni(QStringLiteral("s"), QStringLiteral("long"), QString(), path), longValue.left(255));
    // A cut that ends in blanks loses them.
    EXPECT_EQ(readIni(QStringLiteral("s"), QStringLiteral("spaced"), QString(), path), QString(254, u'x'));
}

TEST(ReadIni, HandlesEveryLineEnding)
{
    for (const char *ending : {"\r\n", "\n", "\r"}) {
        TestFolder dir;
        const QByteArray eol(ending);
        const QString path
            = dir.write(QStringLiteral("a.ini"), "[a]" + eol + "k=1" + eol + "[b]" + eol + "k=2");
        EXPECT_EQ(readIni(QStringLiteral("a"), QStringLiteral("k"), QString(), path), QStringLiteral("1"));
        EXPECT_EQ(readIni(QStringLiteral("b"), QStringLiteral("k"), QString(), path), QStringLiteral("2"));
    }
}

TEST(IniFile, DetectsTheEncoding)
{
    TestFolder dir;
    const struct {
        const char *name;
        QByteArray bytes;
        IniFile::Encoding encoding;
    } cases[] = {
        {"sjis.ini", "[site]\r\nsite=" + kSjisSite2 + "\r\nhyo=" + kSjisHyouji + "\r\n",
            IniFile::Encoding::Cp932},
        {"utf8.ini", "[site]\nsite=" + kSite2.toUtf8() + "\nhyo=" + QStringLiteral("表示").toUtf8() + "\n",
            IniFile::Encoding::Utf8},
        {"bom.ini",
            "\xEF\xBB\xBF[site]\nsite=" + kSite2.toUtf8() + "\nhyo=" + QStringLiteral("表示").toUtf8(),
            IniFile::Encoding::Utf8WithBom},
    };
    for (const auto &c : cases) {
        const IniFile ini = IniFile::read(dir.write(QString::fromUtf8(c.name), c.bytes));
        EXPECT_EQ(ini.state(), IniFile::State::Read) << c.name;
        EXPECT_EQ(ini.encoding(), c.encoding) << c.name;
        EXPECT_EQ(ini.value(QStringLiteral("site"), QStringLiteral("site")), kSite2) << c.name;
        EXPECT_EQ(ini.value(QStringLiteral("site"), QStringLiteral("hyo")), QStringLiteral("表示")) << c.name;
        EXPECT_EQ(ini.bytes(), c.bytes) << c.name;  // read and written back unchanged
    }
    EXPECT_EQ(IniFile::read(dir.write(QStringLiteral("ascii.ini"), "[a]\nk=v\n")).encoding(),
        IniFile::Encoding::Cp932);
}

TEST(IniFile, DecodesAMixedFileLineByLine)
{
    // One byte that is not UTF-8 (a Latin-1 "é" in a comment) must not turn the
    // UTF-8 lines around it into CP932 garbage, and the other way round.
    const QByteArray utf8Site = "site=" + QStringLiteral("サイト1").toUtf8();
    const QByteArray latin1Comment("; caf\xE9 au lait");
    const struct {
        const char *name;
        QByteArray bytes;
        IniFile::Encoding encoding;
    } cases[] = {
        {"utf8 with a latin-1 comment", latin1Comment + "\r\n[site]\r\n" + utf8Site + "\r\n",
            IniFile::Encoding::Utf8},
        {"utf8 with the stray byte last", "[site]\n" + utf8Site + "\n; \xFF\n", IniFile::Encoding::Utf8},
        {"bom with a latin-1 comment", "\xEF\xBB\xBF[site]\n" + latin1Comment + "\n" + utf8Site + "\n",
            IniFile::Encoding::Utf8WithBom},
        {"cp932 with a stray byte", kSjisComment + "\xFF\r\n[site]\r\nsite=\x83\x54\x83\x43\x83\x67\x31\r\n",
            IniFile::Encoding::Cp932},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder dir;
        const QString path = dir.write(QStringLiteral("marunoki.ini"), c.bytes);
        const IniFile ini = IniFile::read(path);
        EXPECT_EQ(ini.state(), IniFile::State::Read);
        EXPECT_EQ(ini.encoding(), c.encoding);
        EXPECT_EQ(ini.value(QStringLiteral("site"), QStringLiteral("site")), QStringLiteral("サイト1"));
        EXPECT_EQ(ini.bytes(), c.bytes);

        // A new key lands in the encoding of the file's readable lines and
        // reads back; every old byte stays.
        ASSERT_TRUE(
            writeProfileString(QStringLiteral("graph"), QStringLiteral("memo"), QStringLiteral("表示"), path)
                .ok());
        EXPECT_EQ(readIni(QStringLiteral("graph"), QStringLiteral("memo"), QString(), path),
            QStringLiteral("表示"));
        EXPECT_EQ(readIni(QStringLiteral("site"), QStringLiteral("site"), QString(), path),
            QStringLiteral("サイト1"));
        EXPECT_TRUE(fileBytes(path).startsWith(c.bytes));
    }
}

TEST(IniFile, SaysWhyAFileCannotBeRead)
{
    enum class Kind { Folder, Pipe, File, LinkLoop };
    const struct {
        const char *name;
        Kind kind;
        QByteArray bytes;
        const char *problem;
    } cases[] = {
        {"a folder", Kind::Folder, {}, "フォルダです"},
        {"a pipe", Kind::Pipe, {}, "通常のファイルではありません"},
        {"5 MB", Kind::File, QByteArray(5 * 1024 * 1024, ';'), "大きすぎます"},
        {"UTF-16 little-endian", Kind::File, QByteArray("\xFF\xFE[\0s\0i\0t\0e\0]\0", 14), "UTF-16"},
        {"UTF-16 big-endian", Kind::File, QByteArray("\xFE\xFF\0[\0s\0i\0t\0e\0]", 14), "UTF-16"},
        {"UTF-16 little-endian without a mark", Kind::File, QByteArray("[\0s\0i\0t\0e\0]\0\r\0\n\0", 16),
            "UTF-16（バイト順マークなし）"},
        {"UTF-16 big-endian without a mark", Kind::File,
            QByteArray("\0[\0w\0e\0b\0]\0\n\0s\0i\0t\0e\0\x31\0=\0h\x30\x44", 28),
            "UTF-16（バイト順マークなし）"},
        {"a symbolic-link loop", Kind::LinkLoop, {}, "シンボリックリンクが循環しています"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder dir;
        QString path = dir.file(QStringLiteral("marunoki.ini"));
        if (c.kind == Kind::Folder)
            ASSERT_TRUE(QDir().mkpath(path));
        else if (c.kind == Kind::Pipe)
            ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else if (c.kind == Kind::LinkLoop)
            ASSERT_TRUE(QFile::link(path + QStringLiteral(".b"), path)
                && QFile::link(path, path + QStringLiteral(".b")));
        else
            path = dir.write(QStringLiteral("marunoki.ini"), c.bytes);
        const IniFile ini = IniFile::read(path);
        EXPECT_EQ(ini.state(), IniFile::State::Unreadable);
        EXPECT_TRUE(ini.problem().contains(QString::fromUtf8(c.problem))) << ini.problem().toStdString();
        // Never rewritten: the user's file stays what it was.
        const Status r
            = writeProfileString(QStringLiteral("site"), QStringLiteral("site"), QStringLiteral("x"), path);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.message().contains(ini.problem())) << r.message().toStdString();
        if (c.kind == Kind::File) {
            EXPECT_EQ(fileBytes(path), c.bytes);
        }
    }
}

TEST(IniFile, RefusesWhatTheFormatCannotHold)
{
    IniFile ini;
    const struct {
        const char *section;
        const char *key;
        const char *value;
    } cases[] = {
        {"graph", "k", "two\nlines"}, {"graph", "k", "cr\rhere"}, {"gr]aph", "k", "v"}, {"", "k", "v"},
        {"graph", "", "v"}, {"graph", "a=b", "v"}, {"graph", "[k", "v"}, {"graph", ";k", "v"},
        {"graph", " k", "v"}, {"gr\naph", "k", "v"}, {"graph", "k", "😀"},  // not in the Japanese code page
    };
    for (const auto &c : cases) {
        const Status r = ini.setValue(
            QString::fromUtf8(c.section), QString::fromUtf8(c.key), QString::fromUtf8(c.value));
        EXPECT_FALSE(r.ok()) << c.section << "/" << c.key << "/" << c.value;
        EXPECT_FALSE(r.message().isEmpty());
    }
    EXPECT_TRUE(ini.bytes().isEmpty());
}

TEST(WriteProfileString, CreatesANewFileInTheWindowsCodePage)
{
    TestFolder dir;
    const QString path = dir.file(QStringLiteral("marunoki.ini"));
    ASSERT_TRUE(writeProfileString(QStringLiteral("site"), QStringLiteral("site"), kSite2, path).ok());
    ASSERT_TRUE(
        writeProfileString(QStringLiteral("graph"), QStringLiteral("kakeritu"), QStringLiteral("0.35"), path)
            .ok());
    ASSERT_TRUE(
        writeProfileString(QStringLiteral("site"), QStringLiteral("other"), QStringLiteral("x"), path).ok());
    EXPECT_EQ(
        fileBytes(path), "[site]\r\nsite=" + kSjisSite2 + "\r\nother=x\r\n\r\n[graph]\r\nkakeritu=0.35\r\n");
    EXPECT_EQ(readIni(QStringLiteral("site"), QStringLiteral("site"), QString(), path), kSite2);
}

TEST(WriteProfileString, KeepsAShiftJisFileShiftJisWithEverythingElseIntact)
{
    TestFolder dir;
    const QByteArray before = kSjisComment + "\r\n[graph]\r\niniGraph(0)=true\r\n; " + kSjisHyouji
        + "\r\nkakeritu=0.3\r\n\r\n[site]\r\nSite=" + QByteArray("\x83\x54\x83\x43\x83\x67\x31")
        + "\r\n\r\n[file]\r\n" + "babadir=C:\\" + kSjisHyouji + "\r\n";
    const QString path = dir.write(QStringLiteral("marunoki.ini"), before);

    ASSERT_TRUE(writeProfileString(QStringLiteral("SITE"), QStringLiteral("site"), kSite2, path).ok());
    QByteArray expected = before;
    expected.replace(
        "Site=\x83\x54\x83\x43\x83\x67\x31", "Site=" + kSjisSite2);  // the file's spelling of the key
    EXPECT_EQ(fileBytes(path), expected);

    ASSERT_TRUE(
        writeProfileString(QStringLiteral("graph"), QStringLiteral("writeHyo"), QStringLiteral("0"), path)
            .ok());
    expected.replace("kakeritu=0.3\r\n", "kakeritu=0.3\r\nwriteHyo=0\r\n");  // after the section's last entry
    EXPECT_EQ(fileBytes(path), expected);

    const IniFile ini = IniFile::read(path);
    EXPECT_EQ(ini.encoding(), IniFile::Encoding::Cp932);
    EXPECT_EQ(ini.value(QStringLiteral("site"), QStringLiteral("site")), kSite2);
    EXPECT_EQ(ini.value(QStringLiteral("file"), QStringLiteral("babadir")), QStringLiteral("C:\\表示"));
}

TEST(WriteProfileString, KeepsUtf8AndTheLineEndingStyle)
{
    TestFolder dir;
    const QByteArray before
        = "\xEF\xBB\xBF[site]\nsite=" + QStringLiteral("サイト1").toUtf8() + "\n[graph]\nk=v";
    const QString path = dir.write(QStringLiteral("marunoki.ini"), before);
    ASSERT_TRUE(
        writeProfileString(QStringLiteral("graph"), QStringLiteral("new"), QStringLiteral("😀"), path).ok());
    ASSERT_TRUE(writeProfileString(QStringLiteral("site"), QStringLiteral("site"), kSite2, path).ok());
    EXPECT_EQ(fileBytes(path),
        "\xEF\xBB\xBF[site]\nsite=" + kSite2.toUtf8() + "\n[graph]\nk=v\nnew=" + QStringLiteral("😀").toUtf8()
            + "\n");
}

TEST(WriteProfileString, LeavesTheOldFileWholeWhenItCannotWrite)
{
    TestFolder dir;
    const QByteArray before = "[site]\r\nsite=" + kSjisSite2 + "\r\n";
    // The temporary file beside a name of 250 characters would need a name longer
    // than any the file system allows, so the replacement cannot even begin.
    const QString path = dir.write(QString(246, u'm') + QStringLiteral(".ini"), before);
    ASSERT_EQ(fileBytes(path), before);
    const Status r
        = writeProfileString(QStringLiteral("site"), QStringLiteral("site"), QStringLiteral("x"), path);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.message().isEmpty());
    EXPECT_EQ(fileBytes(path), before);

    // A value the file's encoding cannot hold is refused before anything is written.
    const QString sjis = dir.write(QStringLiteral("marunoki.ini"), before);
    EXPECT_FALSE(
        writeProfileString(QStringLiteral("site"), QStringLiteral("site"), QStringLiteral("😀"), sjis).ok());
    EXPECT_EQ(fileBytes(sjis), before);
}

TEST(WriteProfileString, AFailedWriteLeavesTheOldFileAndSaysWhy)
{
    for (const auto &fault : marunoki::test::writeFaults()) {
        SCOPED_TRACE(fault.name);
        TestFolder dir;
        const QByteArray before = "[site]\r\nsite=" + kSjisSite2 + "\r\n";
        const QString path = dir.write(QStringLiteral("marunoki.ini"), before);
        const Status r = writeProfileString(
            QStringLiteral("graph"), QStringLiteral("kakeritu"), QStringLiteral("0.35"), path, fault.files);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.message().contains(path)) << r.message().toStdString();
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(marunoki::test::folderEntries(dir.path()), QStringList {QStringLiteral("marunoki.ini")});
    }
}

TEST(WriteProfileString, NeverOverwritesAFileItCannotRead)
{
    TestFolder dir;
    const QString folderPath = dir.file(QStringLiteral("marunoki.ini"));
    ASSERT_TRUE(QDir().mkpath(folderPath));
    EXPECT_EQ(IniFile::read(folderPath).state(), IniFile::State::Unreadable);
    EXPECT_FALSE(
        writeProfileString(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), folderPath).ok());
    EXPECT_TRUE(QFileInfo(folderPath).isDir());
    EXPECT_EQ(readIni(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("d"), folderPath),
        QStringLiteral("d"));
}

TEST(IniFile, SurvivesGarbageBytes)
{
    TestFolder dir;
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 3000);
    for (int round = 0; round < 200; ++round) {
        QByteArray garbage;
        const int n = length(rng);
        for (int i = 0; i < n; ++i)
            garbage.append(static_cast<char>(byte(rng)));
        if (round % 3 == 0)
            garbage.prepend("[graph]\n");
        const QString path = dir.write(QStringLiteral("g.ini"), garbage);
        const IniFile ini = IniFile::read(path);
        EXPECT_EQ(ini.bytes(), garbage);
        ini.profileString(QStringLiteral("graph"), QStringLiteral("kakeritu"), QStringLiteral("0.3"));

        ASSERT_TRUE(
            writeProfileString(QStringLiteral("marunoki"), QStringLiteral("k"), QStringLiteral("v"), path)
                .ok());
        const QByteArray after = fileBytes(path);
        // Every byte that was there is still there, in front of the new section.
        EXPECT_TRUE(after.startsWith(garbage)) << round;
        EXPECT_EQ(
            readIni(QStringLiteral("marunoki"), QStringLiteral("k"), QString(), path), QStringLiteral("v"))
            << round;
    }
}

TEST(WriteProfileString, KeepsTheFilePermissionsAndFailsWithoutAFolder)
{
    TestFolder dir;
    const QString path = dir.write(QStringLiteral("marunoki.ini"), "[a]\nk=1\n");
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, permissions));
    ASSERT_TRUE(writeProfileString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2"), path).ok());
    // Owner, group and other bits (the "user" bits only mirror the owner's for us).
    EXPECT_EQ(QFile::permissions(path) & 0x7077, permissions);
    EXPECT_EQ(fileBytes(path), "[a]\nk=2\n");

    const QString nowhere = dir.file(QStringLiteral("no/such/folder/marunoki.ini"));
    EXPECT_FALSE(
        writeProfileString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("2"), nowhere).ok());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}
