// The pieces around the main window: the track-data update dialog's folder
// tree, Qt's own translations, the loading window's progress, the message
// boxes and the About dialog's caption.

#include "gui/about_dialog.h"
#include "gui/gui_sinks.h"
#include "gui/loading_window.h"
#include "gui/main_window.h"
#include "gui/track_update_dialog.h"

#include "support/test_folder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QTreeView>

#include <gtest/gtest.h>

#include <thread>

namespace marunoki::gui {
namespace {

// The tree used to stay at "/" while the file list showed the remembered folder.
TEST(TrackUpdateDialog, TheTreeOpensAtTheRememberedFolder)
{
    test::TestFolder app;
    test::TestFolder downloads;
    const QString nested = QDir::cleanPath(downloads.path() + QStringLiteral("/keiba/baba"));
    ASSERT_TRUE(QDir().mkpath(nested));
    app.write(QStringLiteral("marunoki.ini"), "[file]\nbabadir=" + nested.toUtf8() + "\n");
    RecordingSink messages;
    TrackUpdateDialog dialog(AppFolder(app.path()), messages);
    dialog.show();
    auto *tree = dialog.findChild<QTreeView *>();
    ASSERT_NE(tree, nullptr);
    auto *model = qobject_cast<QFileSystemModel *>(tree->model());
    ASSERT_NE(model, nullptr);
    // The model reads folders in the background; the tree follows as they come.
    ASSERT_TRUE(QTest::qWaitFor([&] { return model->filePath(tree->currentIndex()) == nested; }, 5000));
    for (QModelIndex parent = tree->currentIndex().parent(); parent.isValid(); parent = parent.parent())
        EXPECT_TRUE(tree->isExpanded(parent)) << model->filePath(parent).toStdString();
    // And it is in sight, not scrolled away among the other folders.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())); }, 5000));
}

// The print and file dialogs and the message boxes' buttons speak Japanese on a
// Japanese desktop: Qt's translation for it is installed and loads.
TEST(QtTranslations, TheJapaneseTranslationLoads)
{
    QTranslator translator;
    ASSERT_TRUE(translator.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"),
        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    EXPECT_FALSE(translator.isEmpty());
    EXPECT_NE(translator.translate("QPlatformTheme", "Cancel"), QString());
}

TEST(LoadingProgress, TheBarCountsRunnersAndTheLineShowsTheStatus)
{
    LoadingWindow window(QStringLiteral("出馬表読込み中・・・"), true, nullptr);
    LoadingProgress progress(window.statusLine(), window.progressBar());
    // Before the card: a busy bar.
    EXPECT_EQ(window.progressBar()->maximum(), 0);
    const struct {
        int current;
        int count;
    } steps[] = {{1, 16}, {9, 16}, {16, 16}, {3, 0}};
    for (const auto &step : steps) {
        progress.runnerProgress(step.current, step.count);
        progress.status(QStringLiteral("%1/%2").arg(step.current).arg(step.count));
        QCoreApplication::processEvents();
        const int count = std::max(step.count, 1);
        EXPECT_EQ(window.progressBar()->maximum(), count);
        EXPECT_EQ(window.progressBar()->value(), std::min(step.current, count));
        EXPECT_EQ(window.statusLine()->text(), QStringLiteral("%1/%2").arg(step.current).arg(step.count));
    }
}

// A box from a worker carries the program's title, and after its details were
// opened Enter still closes it (it used to fold the details away instead); a
// silenced sink lets a waiting worker go.
TEST(MessageBoxSink, EnterClosesTheBoxAfterItsDetailsWereOpened)
{
    MessageBoxSink sink(nullptr);
    QString title;
    bool detailsOpened = false;
    int boxesClosedByEnter = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        title = box->windowTitle();
        for (QAbstractButton *button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::ActionRole) {
                button->click();
                button->setFocus();
                detailsOpened = true;
            }
        }
        QTest::keyClick(box, Qt::Key_Return);
        if (box->isVisible())
            box->done(QMessageBox::Cancel);  // Enter did not close it
        else
            ++boxesClosedByEnter;
    });
    answer.start(20);
    std::thread worker([&sink] {
        sink.detailedMessage(QStringLiteral("2番の馬情報が正常に読み込めません"),
            QStringLiteral("https://site1.example/horse/2 (timeout)"));
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxesClosedByEnter == 1; }, 5000));
    worker.join();
    EXPECT_TRUE(detailsOpened);
    EXPECT_EQ(title, QStringLiteral("中央競馬もMarunoki"));

    // Nobody left to press OK: the worker is not held.
    answer.stop();
    sink.setSilenced(true);
    std::thread late([&sink] { sink.message(QStringLiteral("処理を中止します（ユーザーキャンセル）")); });
    late.join();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The caption in the title bar used to be cut to "Marun…ﾞｮﾝ情報".
TEST(AboutDialog, IsWideEnoughForItsCaption)
{
    RecordingSink messages;
    AboutDialog dialog(QStringLiteral("1.3.2"), messages, nullptr);
    dialog.show();
    QFont bold = dialog.font();
    bold.setBold(true);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Marunokiのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_GT(dialog.width(), QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 100);
}

}  // namespace
}  // namespace marunoki::gui

namespace marunoki::gui {
namespace {

QMessageBox *openBox(const QWidget &window)
{
    for (QMessageBox *box : window.findChildren<QMessageBox *>()) {
        if (box->isVisible())
            return box;
    }
    return nullptr;
}

QAbstractButton *buttonNamed(QMessageBox &box, const QString &text)
{
    for (QAbstractButton *button : box.buttons()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

TEST(FirstStart, WithoutATrackDatabaseTheWindowSaysSoOnceAndTheSampleInstallsIt)
{
    test::TestFolder app;
    MainWindow window(AppFolder(app.path()), {});
    window.show();
    window.askForTrackDatabase(test::sourceFile(QStringLiteral("samples")));
    QMessageBox *box = openBox(window);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains(QStringLiteral("marunoki.dat"))) << box->text().toStdString();
    EXPECT_TRUE(box->text().contains(app.path())) << box->text().toStdString();
    ASSERT_NE(buttonNamed(*box, QStringLiteral("馬場情報ファイル更新(&U)...")), nullptr);
    QAbstractButton *sample = buttonNamed(*box, QStringLiteral("見本を使う(&S)"));
    ASSERT_NE(sample, nullptr);
    sample->click();
    QApplication::processEvents();
    EXPECT_TRUE(QFileInfo::exists(app.file(QStringLiteral("marunoki.dat"))));
    // Once there, nothing more is asked.
    window.askForTrackDatabase(test::sourceFile(QStringLiteral("samples")));
    EXPECT_EQ(openBox(window), nullptr);
}

TEST(FirstStart, WithoutSamplesOnlyTheUpdateIsOffered)
{
    test::TestFolder app;
    MainWindow window(AppFolder(app.path()), {});
    window.show();
    window.askForTrackDatabase({});
    QMessageBox *box = openBox(window);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->buttons().size(), 2);
    box->reject();
    QApplication::processEvents();
    EXPECT_FALSE(QFileInfo::exists(app.file(QStringLiteral("marunoki.dat"))));
}

}  // namespace
}  // namespace marunoki::gui
