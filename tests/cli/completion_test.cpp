// The bash completion as bash calls it: COMP_WORDS and COMP_CWORD set, the
// function run, COMPREPLY read back, with the built marunoki-cli on the PATH.

#include "support/test_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

// What bash offers for the words typed so far; the last word is the one the
// cursor is on. Run in folder, so file names are its own.
QStringList completions(const QStringList &words, const QString &folder)
{
    QString array;
    for (const QString &word : words)
        array += u'\'' + word + QStringLiteral("' ");
    const QString script
        = QStringLiteral("source '" MARUNOKI_SOURCE_DIR "/packaging/marunoki-cli.bash-completion'\n"
                         "COMP_WORDS=(%1)\nCOMP_CWORD=%2\nCOMP_LINE=\"${COMP_WORDS[*]}\"\n"
                         "_marunoki_cli\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n")
              .arg(array)
              .arg(words.size() - 1);
    QProcess bash;
    bash.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"),
        QFileInfo(QStringLiteral(MARUNOKI_CLI_PATH)).absolutePath() + u':'
            + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    bash.setProcessEnvironment(env);
    bash.start(QStringLiteral("bash"), {QStringLiteral("-c"), script});
    EXPECT_TRUE(bash.waitForFinished(30000));
    EXPECT_EQ(bash.exitCode(), 0) << bash.readAllStandardError().toStdString();
    QStringList offered = QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    offered.sort();
    return offered;
}

TEST(BashCompletion, OffersCommandsOptionsValuesAndFilesWhereEachBelongs)
{
    TestFolder folder;
    folder.write(QStringLiteral("marks.csv"), "x");
    folder.write(QStringLiteral("marks-old.csv"), "x");
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("report")));
    const struct {
        const char *line;  // the words, the last one under the cursor ("" = empty)
        QStringList offered;  // exactly, or with `among` every one of them among more
        bool among = false;
    } cases[] = {
        {"marunoki-cli --app-dir A l", {"load"}},
        {"marunoki-cli --app-dir A load --rac", {"--race"}},
        {"marunoki-cli --app-dir = A load --cour", {"--course"}},  // --app-dir=A as bash splits it
        {"marunoki-cli load --course 東", {"東京"}},
        {"marunoki-cli tally --surface ", {"ダ", "芝"}},
        {"marunoki-cli tally --by mea", {"mean", "mean90"}},
        {"marunoki-cli day --races ", {"1-12"}},
        {"marunoki-cli load --race ", {}},
        {"marunoki-cli tally --from ", {}},
        {"marunoki-cli tally --csv marks", {"marks-old.csv", "marks.csv"}},
        {"marunoki-cli load --json mar", {"marks-old.csv", "marks.csv"}},
        {"marunoki-cli tally --html re", {"report"}},
        {"marunoki-cli --app-dir re", {"report"}},
        {"marunoki-cli load --csv --rac", {"--race"}},  // --csv of load is a switch
        {"marunoki-cli ta", {"tally"}},
        {"marunoki-cli --", {"--app-dir", "--help", "--version"}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        const QStringList offered = completions(QString::fromUtf8(c.line).split(u' '), folder.path());
        if (c.among) {
            for (const QString &one : c.offered)
                EXPECT_TRUE(offered.contains(one)) << offered.join(u' ').toStdString();
        } else {
            EXPECT_EQ(offered, c.offered) << offered.join(u' ').toStdString();
        }
    }
}

}  // namespace
}  // namespace marunoki::test
