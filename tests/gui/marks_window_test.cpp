// Marks in the desktop window as a user sets them: the keys, the head-to-head
// grid's context menu, the mark beside the runner box, the 印 panel, and the
// marks found again when the race is loaded again from a changed card.

#include "gui/main_window.h"

#include "support/test_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace marunoki::gui {
namespace {

// The sample day's archive; with swapped, its card has runners 01 and 02 swapped.
void writeArchive(const test::TestFolder &to, bool swapped)
{
    const QDir from(QStringLiteral(MARUNOKI_SOURCE_DIR "/samples/site1"));
    for (const QString &name : from.entryList(QDir::Files)) {
        QFile file(from.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QByteArray page = file.readAll();
        if (swapped && name.endsWith(QStringLiteral("_11_denma.html"))) {
            QString card = QString::fromUtf8(page);
            for (const QString &one : {QStringLiteral("2004100001"), QStringLiteral("サンプルホース01")}) {
                const QString two = one.chopped(1) + u'2';
                card.replace(one, QChar(1)).replace(two, one).replace(QChar(1), two);
            }
            page = card.toUtf8();
        }
        QFile::remove(to.file(name));
        to.write(name, page);
    }
}

QString text(MainWindow &window, const char *name)
{
    const QString objectName = QString::fromLatin1(name);
    if (auto *box = window.findChild<QComboBox *>(objectName))
        return box->currentText();
    return window.findChild<QLabel *>(objectName)->text();
}

// The 印 panel's rows as "number mark name".
QStringList panelRows(QTreeWidget *list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        rows.append(item->text(0) + u' ' + item->text(1) + u' ' + item->text(2));
    }
    return rows;
}

TEST(MainWindowMarks, KeysMenuAndPanelMarkRunnersAndAReloadFindsThemOnTheirHorses)
{
    test::TestFolder app, archive;
    app.copyIn(QStringLiteral(MARUNOKI_SOURCE_DIR "/samples/marunoki.dat"), QStringLiteral("marunoki.dat"));
    app.write(QStringLiteral("marunoki.ini"),
        QStringLiteral("[site]\nsite=サイト1\n[web]\nsite1=https://site1.example\n").toUtf8());
    writeArchive(archive, false);
    QStringList boxes;  // every message box, answered OK as a user would
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&boxes] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes.append(box->text());
            box->done(QMessageBox::Ok);
        }
    });
    answer.start(20);
    MainWindow window(AppFolder(app.path()), archive.path());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto press = [&window](Qt::Key key) { QTest::keyClick(window.windowHandle(), key); };
    const auto load = [&window](const std::function<void()> &start) {
        QSignalSpy ended(&window, &MainWindow::jobEnded);
        start();
        return ended.count() > 0 || ended.wait(20000);
    };
    const auto box
        = [&window](const char *name) { return window.findChild<QComboBox *>(QString::fromLatin1(name)); };
    box("course")->setEditText(QStringLiteral("東京"));
    box("meeting")->setEditText(QStringLiteral("05"));
    box("day")->setEditText(QStringLiteral("09"));
    auto *grid = window.findChild<QTableView *>(QStringLiteral("taisenGrid"));
    auto *list = window.findChild<QWidget *>(QStringLiteral("markPanel"))->findChild<QTreeWidget *>();
    auto *loadButton = window.findChild<QPushButton *>(QStringLiteral("load"));

    // A mark key before any race is loaded says why in the status bar.
    grid->setFocus();
    press(Qt::Key_1);
    EXPECT_EQ(window.statusBar()->currentMessage(), kMarksNotAnalysed);

    box("race")->setEditText(QStringLiteral("11"));
    ASSERT_TRUE(load([loadButton] { loadButton->click(); }));
    grid->setFocus();

    // 1 to 6 set, 0 clears, on the runner shown.
    const struct {
        Qt::Key key;
        QString runner, mark;
    } steps[] = {{Qt::Key_1, "01", "◎"}, {Qt::Key_PageDown, "02", ""}, {Qt::Key_4, "02", "△"},
        {Qt::Key_2, "02", "○"}, {Qt::Key_PageDown, "03", ""}, {Qt::Key_6, "03", "×"}, {Qt::Key_0, "03", ""},
        {Qt::Key_7, "03", ""}, {Qt::Key_PageUp, "02", "○"}};
    for (const auto &s : steps) {
        press(s.key);
        EXPECT_EQ(text(window, "runner"), s.runner) << s.key;
        EXPECT_EQ(text(window, "mark"), s.mark) << s.key;
    }

    // Digits typed into a selection box stay there and mark nothing.
    box("race")->lineEdit()->clear();
    box("race")->lineEdit()->setFocus();
    press(Qt::Key_1);
    press(Qt::Key_1);
    EXPECT_EQ(box("race")->currentText(), QStringLiteral("11"));
    EXPECT_EQ(text(window, "mark"), QStringLiteral("○"));

    // The head-to-head grid's context menu marks the runner of the row, with
    // the runner's own mark ticked.
    const auto popUp = [grid](const QString &runner) {
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            if (grid->model()->index(row, 0).data().toString().trimmed() == runner)
                Q_EMIT grid->customContextMenuRequested(QPoint(10, grid->rowViewportPosition(row) + 2));
        }
        return qobject_cast<QMenu *>(QApplication::activePopupWidget());
    };
    const auto ticked = [](QMenu *menu) {
        QStringList checked;
        for (QAction *action : menu->actions()) {
            if (action->isChecked())
                checked.append(action->text());
        }
        return checked;
    };
    QMenu *popup = popUp(QStringLiteral("1"));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(ticked(popup), QStringList {QStringLiteral("◎ 本命")});
    popup->close();
    popup = popUp(QStringLiteral("5"));
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->actions().first()->text().startsWith(QStringLiteral("05 ")));
    EXPECT_EQ(ticked(popup), QStringList {QStringLiteral("印を消す")});
    for (QAction *action : popup->actions()) {
        if (action->text() == QStringLiteral("▲ 単穴"))
            action->trigger();
    }
    popup->close();
    EXPECT_EQ(panelRows(list),
        (QStringList {"01 ◎ サンプルホース01", "02 ○ サンプルホース02", "05 ▲ サンプルホース05"}));
    // A click in the panel shows that runner.
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(2)).center());
    EXPECT_EQ(text(window, "runner"), QStringLiteral("05"));
    EXPECT_EQ(text(window, "mark"), QStringLiteral("▲"));

    // A race whose load failed (race 09 is not in the archive) is not analysed:
    // nothing is listed and the keys do nothing.
    box("race")->setEditText(QStringLiteral("09"));
    ASSERT_TRUE(load([loadButton] { loadButton->click(); }));
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_TRUE(panelRows(list).isEmpty());
    grid->setFocus();
    press(Qt::Key_1);
    EXPECT_EQ(text(window, "mark"), QString());

    // Race 11 read again (F5, past the cache) from a card on which 01 and 02
    // swapped: each mark stays with its horse, under the horse's new number.
    writeArchive(archive, true);
    box("race")->setEditText(QStringLiteral("11"));
    ASSERT_TRUE(load([&press] { press(Qt::Key_F5); }));
    EXPECT_EQ(panelRows(list),
        (QStringList {"02 ◎ サンプルホース01", "01 ○ サンプルホース02", "05 ▲ サンプルホース05"}));
    EXPECT_EQ(text(window, "mark"), QStringLiteral("○"));  // runner 01

    // A mark set on a horse that moved is its only one: back on the first
    // card the horse does not find the mark of its old number again. ▲ names
    // one horse: it leaves 05, and the status bar says so.
    press(Qt::Key_3);
    EXPECT_EQ(window.statusBar()->currentMessage(),
        QStringLiteral("▲ を 5番 サンプルホース05 から 1番 サンプルホース02 へ移しました"));
    writeArchive(archive, false);
    ASSERT_TRUE(load([&press] { press(Qt::Key_F5); }));
    EXPECT_EQ(panelRows(list), (QStringList {"01 ◎ サンプルホース01", "02 ▲ サンプルホース02"}));
    EXPECT_EQ(boxes.size(), 1) << boxes.join(u'\n').toStdString();
}

}  // namespace
}  // namespace marunoki::gui
