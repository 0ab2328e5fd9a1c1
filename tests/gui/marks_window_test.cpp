// Marks in the desktop window as a user sets them: the keys, the head-to-head
// grid's context menu, the mark beside the runner box, the 印 panel, and the
// marks found again when the race is loaded again from a changed card.

#include "gui/main_window.h"

#include "support/test_folder.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace marunoki::gui {
namespace {

using test::TestFolder;

const QString kCard = QStringLiteral("site1.example_scores_2026_05_05_09_11_denma.html");

// The sample day's archive, copied so that its card can change between loads.
void copyArchive(const TestFolder &to)
{
    const QDir from(QStringLiteral(MARUNOKI_SOURCE_DIR "/samples/site1"));
    for (const QString &name : from.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(from.filePath(name), to.file(name)));
}

// The card as it reads once runners 01 and 02 have swapped their numbers.
void swapFirstTwoRunners(const TestFolder &archive)
{
    QFile file(archive.file(kCard));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString page = QString::fromUtf8(file.readAll());
    file.close();
    for (const auto &[a, b] : {std::pair {QStringLiteral("2004100001"), QStringLiteral("2004100002")},
             std::pair {QStringLiteral("サンプルホース01"), QStringLiteral("サンプルホース02")}}) {
        ASSERT_TRUE(page.contains(a) && page.contains(b));
        page.replace(a, QStringLiteral("@")).replace(b, a).replace(QStringLiteral("@"), b);
    }
    QFile::remove(archive.file(kCard));
    archive.write(kCard, page.toUtf8());
}

// Answers every message box as a user pressing OK, keeping what it said.
class BoxCloser {
public:
    BoxCloser()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen.append(box->text());
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start(20);
    }
    QStringList seen;

private:
    QTimer timer_;
};

bool load(MainWindow &window)
{
    QSignalSpy ended(&window, &MainWindow::jobEnded);
    window.findChild<QPushButton *>(QStringLiteral("load"))->click();
    return ended.count() > 0 || ended.wait(20000);
}

void press(MainWindow &window, Qt::Key key)
{
    QTest::keyClick(window.windowHandle(), key);
}

QString shownMark(MainWindow &window)
{
    return window.findChild<QLabel *>(QStringLiteral("mark"))->text();
}

QString runnerBox(MainWindow &window)
{
    return window.findChild<QComboBox *>(QStringLiteral("runner"))->currentText();
}

// The 印 panel's rows as "number mark name".
QStringList panelRows(MainWindow &window)
{
    auto *list = window.findChild<QWidget *>(QStringLiteral("markPanel"))->findChild<QTreeWidget *>();
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        rows.append(item->text(0) + u' ' + item->text(1) + u' ' + item->text(2));
    }
    return rows;
}

TEST(MainWindowMarks, KeysMenuAndPanelMarkRunnersAndAReloadFindsThemOnTheirHorses)
{
    TestFolder app;
    ASSERT_TRUE(QFile::copy(QStringLiteral(MARUNOKI_SOURCE_DIR "/samples/marunoki.dat"),
        app.file(QStringLiteral("marunoki.dat"))));
    app.write(QStringLiteral("marunoki.ini"),
        QStringLiteral("[site]\nsite=サイト1\n[web]\nsite1=https://site1.example\n").toUtf8());
    TestFolder archive;
    copyArchive(archive);
    BoxCloser boxes;
    MainWindow window(AppFolder(app.path()), archive.path());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto box
        = [&window](const char *name) { return window.findChild<QComboBox *>(QString::fromLatin1(name)); };
    box("course")->setEditText(QStringLiteral("東京"));
    box("meeting")->setEditText(QStringLiteral("05"));
    box("day")->setEditText(QStringLiteral("09"));

    // Before any race was analysed the keys do nothing and the menu says why.
    QMenu *menu = nullptr;
    for (QAction *action : window.menuBar()->actions()) {
        if (action->text() == QStringLiteral("印(&M)"))
            menu = action->menu();
    }
    ASSERT_NE(menu, nullptr);
    const auto enabledCommands = [menu] {
        int n = 0;
        for (QAction *action : menu->actions())
            n += action->isEnabled() && !action->shortcut().isEmpty() ? 1 : 0;
        return n;
    };
    EXPECT_EQ(enabledCommands(), 0);
    auto *grid = window.findChild<QTableView *>(QStringLiteral("taisenGrid"));
    ASSERT_NE(grid, nullptr);
    grid->setFocus();
    press(window, Qt::Key_1);
    EXPECT_EQ(shownMark(window), QString());

    // Digits typed into a selection box stay there; a mark is no text.
    box("race")->lineEdit()->clear();
    box("race")->lineEdit()->setFocus();
    press(window, Qt::Key_1);
    press(window, Qt::Key_1);
    EXPECT_EQ(box("race")->currentText(), QStringLiteral("11"));
    ASSERT_TRUE(load(window));
    EXPECT_EQ(enabledCommands(), 7) << boxes.seen.join(u'\n').toStdString();
    grid->setFocus();

    // 1 to 6 set, 0 clears, on the runner shown.
    const struct {
        Qt::Key key;
        QString runner, mark;
    } steps[] = {{Qt::Key_1, "01", "◎"}, {Qt::Key_PageDown, "02", ""}, {Qt::Key_4, "02", "△"},
        {Qt::Key_2, "02", "○"}, {Qt::Key_PageDown, "03", ""}, {Qt::Key_6, "03", "×"}, {Qt::Key_0, "03", ""},
        {Qt::Key_7, "03", ""}, {Qt::Key_PageUp, "02", "○"}};
    for (const auto &s : steps) {
        press(window, s.key);
        EXPECT_EQ(runnerBox(window), s.runner) << s.key;
        EXPECT_EQ(shownMark(window), s.mark) << s.key;
    }

    // The head-to-head grid's context menu marks the runner of the row.
    int row5 = -1;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        if (grid->model()->index(r, 0).data().toString().trimmed() == QStringLiteral("5"))
            row5 = r;
    }
    ASSERT_GE(row5, 0);
    Q_EMIT grid->customContextMenuRequested(QPoint(10, grid->rowViewportPosition(row5) + 2));
    QMenu *popup = nullptr;
    for (QMenu *m : window.findChildren<QMenu *>()) {
        if (m->isVisible())
            popup = m;
    }
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->actions().first()->text().startsWith(QStringLiteral("05 ")));
    for (QAction *action : popup->actions()) {
        if (action->text() == QStringLiteral("▲ 単穴"))
            action->trigger();
    }
    popup->close();
    EXPECT_EQ(panelRows(window),
        (QStringList {QStringLiteral("01 ◎ サンプルホース01"), QStringLiteral("02 ○ サンプルホース02"),
            QStringLiteral("05 ▲ サンプルホース05")}));

    // A click in the panel shows that runner.
    auto *list = window.findChild<QWidget *>(QStringLiteral("markPanel"))->findChild<QTreeWidget *>();
    const QRect third = list->visualItemRect(list->topLevelItem(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(runnerBox(window), QStringLiteral("05"));
    EXPECT_EQ(shownMark(window), QStringLiteral("▲"));

    // A race whose load failed is not analysed: race 09 is not in the archive.
    // Nothing is marked or listed, and the keys do nothing.
    box("race")->setEditText(QStringLiteral("09"));
    ASSERT_TRUE(load(window));
    EXPECT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(enabledCommands(), 0);
    EXPECT_TRUE(panelRows(window).isEmpty());
    grid->setFocus();
    press(window, Qt::Key_1);
    EXPECT_EQ(shownMark(window), QString());

    // Loaded again from a card on which 01 and 02 swapped: each mark stays
    // with its horse, under the horse's new number.
    swapFirstTwoRunners(archive);
    box("race")->setEditText(QStringLiteral("11"));
    QSignalSpy ended(&window, &MainWindow::jobEnded);
    press(window, Qt::Key_F5);  // 最新の情報に更新: the card is read again, not taken from the cache
    ASSERT_TRUE(ended.count() > 0 || ended.wait(20000));
    EXPECT_EQ(panelRows(window),
        (QStringList {QStringLiteral("02 ◎ サンプルホース01"), QStringLiteral("01 ○ サンプルホース02"),
            QStringLiteral("05 ▲ サンプルホース05")}));
    EXPECT_EQ(runnerBox(window), QStringLiteral("01"));
    EXPECT_EQ(shownMark(window), QStringLiteral("○"));
    EXPECT_EQ(boxes.seen.size(), 1) << boxes.seen.join(u'\n').toStdString();
}

}  // namespace
}  // namespace marunoki::gui
