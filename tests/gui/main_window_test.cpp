// The desktop window as a user meets it: laid out on a small screen, never
// frozen by a load, one message per failure, quitting during a load, the
// keyboard and the state kept between runs. On the offscreen platform, with the
// bundled sample race read from its page archive or a loopback server.

#include "app/format.h"
#include "app/race_store.h"
#include "gui/graph_pane.h"
#include "gui/loading_window.h"
#include "gui/main_window.h"
#include "gui/tally_window.h"
#include "journal/journal.h"
#include "settings/window_state.h"
#include "web/meeting_calendar.h"

#include "support/http_test_server.h"
#include "support/sample_race.h"
#include "support/site_pages.h"
#include "support/test_folder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSplitter>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace marunoki::gui {
namespace {

using test::HttpRoute;
using test::HttpTestServer;
using test::TestFolder;

const QString kSampleArchive = QStringLiteral(MARUNOKI_SOURCE_DIR "/samples/site1");

// A message box as the user saw it, and whether a loading window was on screen
// behind it.
struct SeenBox {
    QString text;
    QString detail;
    bool loadingWindowShown = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;  // every button's text, the details button's too
};

// Answers every message box at once (as a user pressing OK) and keeps what it said.
class BoxWatcher {
public:
    BoxWatcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            bool loading = false;
            for (QWidget *w : QApplication::topLevelWidgets())
                loading = loading || (qobject_cast<LoadingWindow *>(w) != nullptr && w->isVisible());
            QStringList buttons;
            for (const QAbstractButton *button : box->findChildren<QAbstractButton *>())
                buttons.append(button->text());
            seen.append({box->text(), box->detailedText(), loading, box->icon(), buttons});
            box->done(QMessageBox::Ok);
        });
        timer_.start(20);
    }
    QList<SeenBox> seen;
    QStringList texts() const
    {
        QStringList t;
        for (const SeenBox &box : seen)
            t.append(box.text);
        return t;
    }

private:
    QTimer timer_;
};

// An application folder with the sample track database and settings; the
// sites' base addresses can point at a loopback server.
struct AppFolderFixture {
    explicit AppFolderFixture(const QString &site1Base = QStringLiteral("https://site1.example"))
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(MARUNOKI_SOURCE_DIR "/samples/marunoki.dat"),
            folder.file(QStringLiteral("marunoki.dat"))));
        folder.write(QStringLiteral("marunoki.ini"),
            QStringLiteral("[site]\nsite=サイト1\n[web]\nsite1=%1\nsite2=https://site2.example\n")
                .arg(site1Base)
                .toUtf8());
    }
    AppFolder app() const { return AppFolder(folder.path()); }
    TestFolder folder;
};

// A race of a week ago in the folder's journal, its one runner's result still
// to be fetched from the horse's page on site 1 at base.
void recordPendingRace(const AppFolder &app, const QString &base)
{
    auto opened = Journal::open(app.file(kJournalFile));
    ASSERT_TRUE(opened.status.ok());
    auto store = std::make_unique<RaceStore>();
    const QDate date = QDate::currentDate().addDays(-7);
    store->raceDate = *serialFromYmd(date.year(), date.month(), date.day());
    store->fieldSize = 1;
    store->horses[1].name = QStringLiteral("見本馬1");
    store->horses[1].pageAddress = test::site1HorseAddress(base, QStringLiteral("2004100001/"));
    store->horses[1].meanFigure = {50, 2};
    const RaceKey key {1, date, QStringLiteral("05"), 5, 9, 11};
    ASSERT_TRUE(opened.value->recordRace(key, *store, 0.3f, base).ok());
}

void chooseSampleRace(MainWindow &window)
{
    const struct {
        const char *box;
        QString text;
    } choices[] = {{"year", QStringLiteral("2026")}, {"course", QStringLiteral("東京")},
        {"meeting", QStringLiteral("05")}, {"day", QStringLiteral("09")}, {"race", QStringLiteral("11")}};
    for (const auto &c : choices)
        window.findChild<QComboBox *>(QString::fromLatin1(c.box))->setEditText(c.text);
}

bool waitForJob(MainWindow &window)
{
    QSignalSpy ended(&window, &MainWindow::jobEnded);
    return ended.count() > 0 || ended.wait(20000);
}

QString runnerText(MainWindow &window)
{
    return window.findChild<QComboBox *>(QStringLiteral("runner"))->currentText();
}

// Every control a user reads or presses lies inside the window and shows its
// whole text (the panels scroll, so their labels are left out).
void expectNothingCutOff(MainWindow &window)
{
    const QRect inside = window.rect();
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (!w->isVisible() || w->window() != &window)
            continue;
        const bool inScrollArea
            = qobject_cast<QScrollArea *>(w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr);
        const QString name = w->metaObject()->className() + QStringLiteral(" ") + w->objectName();
        const QRect placed(w->mapTo(&window, QPoint(0, 0)), w->size());
        if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QComboBox *>(w)) {
            EXPECT_TRUE(inside.contains(placed)) << name.toStdString();
        }
        if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            EXPECT_GE(button->width(), button->minimumSizeHint().width()) << button->text().toStdString();
        }
        if (auto *box = qobject_cast<QComboBox *>(w)) {
            const int room = box->isEditable() ? box->lineEdit()->width() : box->width() - 20;
            EXPECT_GE(room, box->fontMetrics().horizontalAdvance(box->currentText()))
                << box->currentText().toStdString();
        }
        if (auto *label = qobject_cast<QLabel *>(w); label && !label->wordWrap() && !inScrollArea) {
            EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->text().toStdString();
        }
    }
}

TEST(MainWindowLayout, FitsA1024By600Screen)
{
    AppFolderFixture app;
    BoxWatcher boxes;
    MainWindow window(app.app(), kSampleArchive);
    window.resize(1024, 600 - 36);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_LE(window.minimumSizeHint().width(), 1024);
    EXPECT_LE(window.minimumSizeHint().height(), 600 - 36);
    expectNothingCutOff(window);
    chooseSampleRace(window);
    window.findChild<QAbstractButton *>(QStringLiteral("load"))->click();
    ASSERT_TRUE(waitForJob(window));
    EXPECT_EQ(window.size(), QSize(1024, 600 - 36));
    expectNothingCutOff(window);
}

TEST(MainWindowLayout, FitsA1280By720ScreenBeforeAndAfterALoad)
{
    AppFolderFixture app;
    BoxWatcher boxes;
    MainWindow window(app.app(), kSampleArchive);
    window.resize(1280, 720);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_LE(window.minimumSizeHint().width(), 1280);
    EXPECT_LE(window.minimumSizeHint().height(), 690);  // a title bar above it
    expectNothingCutOff(window);

    chooseSampleRace(window);
    window.findChild<QAbstractButton *>(QStringLiteral("load"))->click();
    ASSERT_TRUE(waitForJob(window));
    EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.texts().join(u'\n').toStdString();
    // A load does not make the window any larger than the screen.
    EXPECT_LE(window.minimumSizeHint().height(), 690);
    EXPECT_EQ(window.size(), QSize(1280, 720));
    expectNothingCutOff(window);

    // The graph takes the width it can: it fills the pane's width, or the
    // per-run grid below it is down to its header and a few runs.
    auto *pane = window.findChild<GraphPane *>();
    auto *runGrid = window.findChild<QWidget *>(QStringLiteral("runGrid"));
    ASSERT_NE(runGrid, nullptr);
    auto *tableBox = window.findChild<QCheckBox *>();
    ASSERT_NE(tableBox, nullptr);
    if (!tableBox->isChecked())
        tableBox->click();
    QTest::qWait(50);
    // No empty band beside it: the panels took that width.
    EXPECT_LT(pane->width() - pane->legendRect().right(), 4) << pane->width() - pane->legendRect().right();
    // With the table box unticked the empty grid gives its room to the graph.
    const double withGrid = pane->graphRect().height();
    ASSERT_TRUE(tableBox->isChecked());
    tableBox->click();
    QTest::qWait(50);
    EXPECT_FALSE(runGrid->isVisible());
    EXPECT_GT(pane->graphRect().height(), withGrid + 50);
    tableBox->click();
    QTest::qWait(50);
    EXPECT_TRUE(runGrid->isVisible());
    expectNothingCutOff(window);

    // A larger window shows a larger graph, its shape kept.
    const QRectF small = pane->graphRect();
    const QRectF smallLegend = pane->legendRect();
    window.resize(1920, 1080);
    QTest::qWait(50);
    const QRectF large = pane->graphRect();
    EXPECT_GT(large.width(), small.width() * 1.3);
    EXPECT_NEAR(large.width() / large.height(), small.width() / small.height(), 0.01);
    // The legend grows with the graph and stays beside it.
    EXPECT_NEAR(pane->legendRect().height() / large.height(), smallLegend.height() / small.height(), 0.01);
    EXPECT_NEAR(pane->legendRect().left(), large.right(), 1.0);
}

TEST(MainWindowLoad, OneMessagePerFailedPageWithItsAddressAsDetail)
{
    AppFolderFixture app;
    // The archive without runner 2's page.
    TestFolder archive;
    for (const QString &name : QDir(kSampleArchive).entryList(QDir::Files))
        QFile::copy(kSampleArchive + u'/' + name, archive.file(name));
    QFile index(archive.file(QStringLiteral("index.tsv")));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    QByteArrayList lines = index.readAll().split('\n');
    index.close();
    const QString missing = QStringLiteral("https://site1.example/directory/horse/2004100002/index.html");
    lines.removeIf([&](const QByteArray &line) { return line.startsWith(missing.toUtf8() + '\t'); });
    archive.write(QStringLiteral("index.tsv"), lines.join('\n'));

    BoxWatcher boxes;
    MainWindow window(app.app(), archive.path());
    window.show();
    chooseSampleRace(window);
    window.findChild<QAbstractButton *>(QStringLiteral("load"))->click();
    ASSERT_TRUE(waitForJob(window));
    ASSERT_EQ(boxes.seen.size(), 1) << boxes.texts().join(u'\n').toStdString();
    EXPECT_EQ(boxes.seen[0].text, QStringLiteral("2番の馬情報が正常に読み込めません"));
    EXPECT_TRUE(boxes.seen[0].detail.startsWith(missing + QStringLiteral(" (")))
        << boxes.seen[0].detail.toStdString();
    EXPECT_FALSE(boxes.seen[0].loadingWindowShown);
    // A failure, with its details behind a button in Japanese.
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(boxes.seen[0].buttons.contains(QStringLiteral("詳細を表示...")))
        << boxes.seen[0].buttons.join(u'|').toStdString();
    // The load went on and drew runner 1.
    EXPECT_EQ(runnerText(window), QStringLiteral("01"));
}

TEST(MainWindowLoad, AnUnchosenBoxIsNamedWithoutALoadingWindow)
{
    AppFolderFixture app;
    BoxWatcher boxes;
    MainWindow window(app.app(), kSampleArchive);
    window.show();
    chooseSampleRace(window);
    window.findChild<QComboBox *>(QStringLiteral("course"))->setEditText(QStringLiteral("場選択"));
    window.findChild<QAbstractButton *>(QStringLiteral("load"))->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.seen.size() == 1; }, 5000));
    EXPECT_EQ(boxes.seen[0].text, QStringLiteral("場を選択してください"));
    EXPECT_FALSE(boxes.seen[0].loadingWindowShown);
    EXPECT_FALSE(window.loading());
}

QAction *menuAction(MainWindow &window, const QString &text)
{
    for (QAction *menu : window.menuBar()->actions()) {
        if (menu->menu() == nullptr)
            continue;
        for (QAction *item : menu->menu()->actions()) {
            if (item->text() == text)
                return item;
        }
    }
    return nullptr;
}

// A site that never answers: every load runs beside a live event loop, and
// ending the program during any load, in any of the user's ways and from the
// load's own window too, ends the application's event loop within a second,
// without a message; the load lets go at once.
TEST(MainWindowQuit, TheProgramEndsWithinASecondDuringAHangingLoad)
{
    HttpTestServer server;
    server.route(QStringLiteral("/"), HttpRoute::neverAnswer());
    for (int race = 1; race <= 12; ++race)
        server.route(QStringLiteral("/scores/2026/05/05/09/%1/denma.html").arg(race, 2, 10, QLatin1Char('0')),
            HttpRoute::neverAnswer());
    server.route(QStringLiteral("/directory/horse/2004100001/index.html"), HttpRoute::neverAnswer());
    // The backtest's first probe: last year's 1回札幌1日 1R, as its dialog starts.
    server.route(QStringLiteral("/scores/%1/01/01/01/01/denma.html").arg(QDate::currentDate().year() - 1),
        HttpRoute::neverAnswer());
    enum class Load { Race, Calendar, Day, Results, Backtest };
    enum class Way { CtrlQInTheLoadsWindow, CloseBox, EndButton };
    const struct {
        const char *name;
        Load load;
        QString status;  // the load's window says this while it waits
    } loads[] = {
        {"race", Load::Race, QStringLiteral("出馬表読込み中・・・")},
        {"calendar", Load::Calendar, QStringLiteral("開催情報 読込み中・・・")},
        {"day", Load::Day, QStringLiteral("1R 読込み中・・・（1 / 12 レース）")},
        {"results", Load::Results, QStringLiteral("1 / 1 レース　1/1 見本馬1成績読込み中・・・")},
        {"backtest", Load::Backtest, QStringLiteral("過去レース検証中・・・")},
    };
    for (const auto &load : loads) {
        for (const Way way : {Way::CtrlQInTheLoadsWindow, Way::CloseBox, Way::EndButton}) {
            SCOPED_TRACE(std::string(load.name) + " " + std::to_string(int(way)));
            AppFolderFixture app(server.url(QString()));
            recordPendingRace(app.app(), server.url(QString()));
            BoxWatcher boxes;
            auto window = std::make_unique<MainWindow>(app.app(), QString());
            window->show();
            chooseSampleRace(*window);
            if (load.load == Load::Race)
                window->findChild<QAbstractButton *>(QStringLiteral("load"))->click();
            else if (load.load == Load::Calendar)
                window->findChild<QAbstractButton *>(QStringLiteral("calendar"))->click();
            else if (load.load == Load::Day)
                menuAction(*window, QStringLiteral("1日分読込み(&D)..."))->trigger();
            else if (load.load == Load::Results)
                menuAction(*window, QStringLiteral("成績取得(&R)..."))->trigger();
            else {
                // Its dialog as it opens, started with what it shows first.
                QTimer::singleShot(0, [] {
                    for (QWidget *w : QApplication::topLevelWidgets()) {
                        if (w->objectName() == QStringLiteral("backtestDialog"))
                            QMetaObject::invokeMethod(w, "accept");
                    }
                });
                menuAction(*window, QStringLiteral("過去レース検証(&B)..."))->trigger();
            }

            // The load's own window: the loading window, or the day's.
            QWidget *loadWindow = nullptr;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w != window.get() && w->isVisible() && qobject_cast<QDialog *>(w) != nullptr)
                    loadWindow = w;
            }
            ASSERT_NE(loadWindow, nullptr);
            // The event loop runs on while the page does not come.
            int ticks = 0;
            QTimer tick;
            QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
            tick.start(10);
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    for (QLabel *label : loadWindow->findChildren<QLabel *>()) {
                        if (label->text() == load.status)
                            return true;
                    }
                    return false;
                },
                3000));
            QTest::qWait(300);
            EXPECT_GE(ticks, 5);

            QElapsedTimer clock;
            QTimer::singleShot(0, [&] {
                clock.start();
                if (way == Way::CtrlQInTheLoadsWindow) {
                    loadWindow->activateWindow();
                    QTest::keyClick(loadWindow->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
                } else if (way == Way::CloseBox) {
                    window->close();
                } else {
                    window->findChild<QAbstractButton *>(QStringLiteral("end"))->click();
                }
            });
            // A program that does not end is ended by the test, with its own code;
            // the guard goes with the case, or it would end a later test's wait.
            QTimer guard;
            guard.setSingleShot(true);
            QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(99); });
            guard.start(10000);
            EXPECT_EQ(QApplication::exec(), 0);
            EXPECT_LT(clock.elapsed(), 1000);
            EXPECT_FALSE(window->isVisible());
            EXPECT_TRUE(window->jobsEndWithin(std::chrono::milliseconds(1000)));
            EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.texts().join(u'\n').toStdString();
        }
    }
}

// The stop button, for a race, the calendar and 成績取得: the loading window is
// gone before the race's cancel message (the calendar's stop says nothing and
// opens no calendar; 成績取得 says it stopped and what it kept), and the
// progress bar has counted no runner of a card that never came.
TEST(MainWindowLoad, StopEndsARaceCalendarOrResultsLoad)
{
    HttpTestServer server;
    server.route(QStringLiteral("/"), HttpRoute::neverAnswer());
    server.route(QStringLiteral("/scores/2026/05/05/09/11/denma.html"), HttpRoute::neverAnswer());
    server.route(QStringLiteral("/directory/horse/2004100001/index.html"), HttpRoute::neverAnswer());
    const struct {
        const char *start;  // a button, or the menu's command
        QStringList messages;
    } loads[] = {
        {"load", {QStringLiteral("処理を中止します（ユーザーキャンセル）")}},
        {"calendar", {}},
        {"成績取得(&R)...",
            {QStringLiteral("成績取得を中止しました（それまでの結果は記録しました。残りは次回取得します）\n"
                            "計 1 レース: 着順 0 頭、出走なし 0 頭、未取得 1 頭")}},
    };
    for (const auto &load : loads) {
        SCOPED_TRACE(load.start);
        AppFolderFixture app(server.url(QString()));
        recordPendingRace(app.app(), server.url(QString()));
        BoxWatcher boxes;
        MainWindow window(app.app(), QString());
        window.show();
        chooseSampleRace(window);
        if (QAction *command = menuAction(window, QString::fromUtf8(load.start)))
            command->trigger();
        else
            window.findChild<QAbstractButton *>(QString::fromLatin1(load.start))->click();
        auto *loading = window.findChild<LoadingWindow *>();
        ASSERT_NE(loading, nullptr);
        EXPECT_EQ(loading->windowTitle(), QStringLiteral("読込み中"));
        QTest::qWait(100);
        QElapsedTimer clock;
        clock.start();
        for (QAbstractButton *button : loading->findChildren<QAbstractButton *>()) {
            if (button->text() == QStringLiteral("読込み中止"))
                button->click();
        }
        ASSERT_TRUE(waitForJob(window));
        EXPECT_LT(clock.elapsed(), 1000);
        QTest::qWait(300);
        EXPECT_EQ(boxes.texts(), load.messages);
        for (const SeenBox &box : boxes.seen)
            EXPECT_FALSE(box.loadingWindowShown);
        EXPECT_EQ(window.findChild<LoadingWindow *>(), nullptr);
        EXPECT_EQ(window.findChild<QDialog *>(QStringLiteral("calendarWindow")), nullptr);
    }
}

// The tally window without a journal says so once and stays; once races are
// recorded (their results still to come) the same window tallies them.
TEST(TallyWindow, AMissingJournalIsSaidOnceAndTheWindowStaysUsable)
{
    AppFolderFixture app;
    BoxWatcher boxes;
    MainWindow window(app.app(), QString());
    window.show();
    menuAction(window, QStringLiteral("成績集計(&T)..."))->trigger();
    auto *tally = window.findChild<TallyWindow *>();
    ASSERT_NE(tally, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.texts().size() == 1; }, 5000));
    EXPECT_TRUE(boxes.texts().value(0).contains(app.app().file(kJournalFile)));
    EXPECT_TRUE(tally->isVisible());
    EXPECT_EQ(tally->windowTitle(), QStringLiteral("成績集計"));
    EXPECT_TRUE(tally->shown().tables.empty());

    recordPendingRace(app.app(), QStringLiteral("https://site1.example"));
    // A second 成績集計 brings the same window back.
    menuAction(window, QStringLiteral("成績集計(&T)..."))->trigger();
    EXPECT_EQ(window.findChildren<TallyWindow *>().size(), 1);
    QSignalSpy tallied(tally, &TallyWindow::tallied);
    tally->findChild<QAbstractButton *>(QStringLiteral("tally"))->click();
    // Made off the window's thread: the button waits for it, a second click
    // meanwhile runs once after it.
    EXPECT_FALSE(tally->findChild<QAbstractButton *>(QStringLiteral("tally"))->isEnabled());
    tally->tally();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tallied.size() == 1; }, 5000));
    EXPECT_FALSE(tally->busy());
    EXPECT_EQ(boxes.texts().size(), 1);
    // Four rank tables and the three figures' lead tables, 単勝回収率 in each.
    EXPECT_EQ(tally->shown().tables.size(), 7u);
    EXPECT_EQ(tally->shown().tables[0].grid.at(0, 9)->text, QStringLiteral("単勝回収率"));
    EXPECT_TRUE(tally->findChild<QLabel *>(QStringLiteral("tallyFooter"))
                    ->text()
                    .contains(QStringLiteral("結果待ち 1 レース")));
}

// The calendar loaded beside the window opens its modeless window; a meeting
// clicked there fills the selection boxes.
TEST(MainWindowLoad, TheCalendarFillsTheSelection)
{
    HttpTestServer server;
    server.route(QStringLiteral("/"),
        HttpRoute::html(test::samplePageBytes(test::site1TopPage(test::sampleTopPage())), "UTF-8"));
    AppFolderFixture app(server.url(QString()));
    BoxWatcher boxes;
    MainWindow window(app.app(), QString());
    window.show();
    window.findChild<QAbstractButton *>(QStringLiteral("calendar"))->click();
    ASSERT_NE(window.findChild<LoadingWindow *>(), nullptr);
    ASSERT_TRUE(waitForJob(window));
    EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.texts().join(u'\n').toStdString();

    auto *calendar = window.findChild<QDialog *>(QStringLiteral("calendarWindow"));
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_FALSE(calendar->isModal());
    QAbstractButton *meeting = nullptr;
    for (QAbstractButton *button : calendar->findChildren<QAbstractButton *>()) {
        if (meeting == nullptr && button->text().contains(u'回'))
            meeting = button;
    }
    ASSERT_NE(meeting, nullptr);
    const MeetingSelection chosen = meetingSelection(meeting->text());
    meeting->click();
    EXPECT_EQ(window.findChild<QComboBox *>(QStringLiteral("meeting"))->currentText(), chosen.meeting);
    EXPECT_EQ(window.findChild<QComboBox *>(QStringLiteral("day"))->currentText(), chosen.day);
    EXPECT_EQ(window.findChild<QComboBox *>(QStringLiteral("course"))->currentText(), chosen.course);
    EXPECT_FALSE(chosen.course.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window.findChild<QDialog *>(QStringLiteral("calendarWindow")) == nullptr; }, 2000));
}

TEST(MainWindowKeyboard, MenusHaveMnemonicsAndTheKeysMoveBetweenRunners)
{
    AppFolderFixture app;
    BoxWatcher boxes;
    MainWindow window(app.app(), kSampleArchive);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (QAction *menu : window.menuBar()->actions())
        EXPECT_TRUE(menu->text().contains(u'&')) << menu->text().toStdString();

    // Enter in a selection box starts the load.
    chooseSampleRace(window);
    QLineEdit *race = window.findChild<QComboBox *>(QStringLiteral("race"))->lineEdit();
    race->setFocus();
    QSignalSpy ended(&window, &MainWindow::jobEnded);
    QTest::keyClick(race, Qt::Key_Return);
    ASSERT_TRUE(ended.count() > 0 || ended.wait(20000));
    ASSERT_EQ(runnerText(window), QStringLiteral("01"));
    // The focus is back in the box, not on 終了: Space there ends nothing.
    auto *end = window.findChild<QAbstractButton *>(QStringLiteral("end"));
    auto *raceBox = window.findChild<QComboBox *>(QStringLiteral("race"));
    const auto focusIn = [](QWidget *where) {
        QWidget *focus = QApplication::focusWidget();
        return focus != nullptr && (focus == where || where->isAncestorOf(focus));
    };
    EXPECT_TRUE(focusIn(raceBox)) << (QApplication::focusWidget()
            ? QApplication::focusWidget()->metaObject()->className()
            : "none");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(window.isVisible());
    // A load begun from 終了's focus ends on the graph, its focus ring showing.
    end->setFocus(Qt::TabFocusReason);
    ended.clear();
    window.findChild<QAbstractButton *>(QStringLiteral("load"))->click();
    ASSERT_TRUE(ended.count() > 0 || ended.wait(20000));
    EXPECT_TRUE(focusIn(window.findChild<GraphPane *>()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(window.isVisible());

    // The race box takes only what can be a race: "13" stops at "1".
    race->clear();
    QTest::keyClicks(race, QStringLiteral("13"));
    EXPECT_EQ(raceBox->currentText(), QStringLiteral("1"));
    chooseSampleRace(window);

    const struct {
        QKeyCombination keys;
        QString runner;
    } steps[] = {
        {QKeyCombination(Qt::Key_PageDown), QStringLiteral("02")},
        {QKeyCombination(Qt::Key_PageDown), QStringLiteral("03")},
        {QKeyCombination(Qt::Key_PageUp), QStringLiteral("02")},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_Left), QStringLiteral("01")},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_Left), QStringLiteral("16")},  // wraps to the last
        {QKeyCombination(Qt::ControlModifier, Qt::Key_Right), QStringLiteral("01")},
    };
    // From the grid as from anywhere in the window; the keys go through the
    // window system as a user's do, shortcuts included.
    window.findChildren<QAbstractItemView *>().first()->setFocus();
    for (const auto &step : steps) {
        QTest::keyClick(window.windowHandle(), step.keys.key(), step.keys.keyboardModifiers());
        EXPECT_EQ(runnerText(window), step.runner);
    }

    // Ctrl+Q ends the program, also from a modal box, which closes with it.
    QDialog modal(&window);
    modal.setModal(true);
    QTimer::singleShot(50, [&modal] {
        ASSERT_EQ(QApplication::activeModalWidget(), &modal);
        QTest::keyClick(&modal, Qt::Key_Q, Qt::ControlModifier);
    });
    QTimer::singleShot(5000, &modal, &QDialog::accept);  // no hang if it fails
    EXPECT_EQ(modal.exec(), QDialog::Rejected);
    ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.isVisible(); }, 1000));
    EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

// The print dialog offers the file the same job printed to last, for the rest
// of the session; the other job does not offer it (it offered the graphs' file).
TEST(MainWindowPrint, EachJobOffersItsOwnOutputFileAgain)
{
    AppFolderFixture app;
    BoxWatcher boxes;
    MainWindow window(app.app(), kSampleArchive);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    chooseSampleRace(window);
    window.findChild<QAbstractButton *>(QStringLiteral("load"))->click();
    ASSERT_TRUE(waitForJob(window));

    const QString chosen = app.folder.file(QStringLiteral("graphs.pdf"));
    QStringList offered;  // the file each dialog opened with
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        // The output file's line: the one visible line of the dialog (the copies and
        // page ranges are in the hidden options).
        QLineEdit *file = nullptr;
        for (QLineEdit *edit : dialog->findChildren<QLineEdit *>()) {
            if (edit->isVisible() && file == nullptr)
                file = edit;
        }
        offered.append(file != nullptr ? file->text() : QString());
        if (offered.size() == 1 && file != nullptr) {
            file->setText(chosen);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    answer.start(20);
    // Graphs, graphs again, then the past-performance table.
    const Qt::KeyboardModifiers jobs[]
        = {Qt::ControlModifier, Qt::ControlModifier, Qt::ControlModifier | Qt::ShiftModifier};
    for (const Qt::KeyboardModifiers modifiers : jobs) {
        // The offscreen platform gives the focus back to no window after a dialog.
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.windowHandle(), Qt::Key_P, modifiers);
    }
    ASSERT_EQ(offered.size(), 3);
    EXPECT_NE(offered[0], chosen);
    EXPECT_EQ(offered[1], chosen);
    EXPECT_NE(offered[2], chosen);
    // The first printed the graphs there (sixteen runners: one page).
    EXPECT_TRUE(QFileInfo(chosen).size() > 0);
    EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

TEST(MainWindowState, SizePlaceRaceAndViewComeBackOnTheNextStart)
{
    AppFolderFixture app;
    BoxWatcher boxes;
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080)};
    {
        MainWindow window(app.app(), kSampleArchive);
        window.show();
        window.setGeometry(QRect(40, 60, 1300, 760));
        chooseSampleRace(window);
        window.findChild<QAbstractButton *>(QStringLiteral("load"))->click();
        ASSERT_TRUE(waitForJob(window));
        for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
            if (button->text() == QStringLiteral("比較"))
                button->click();
        }
        // The line above the per-run grid moved by the user.
        auto *tableBox = window.findChild<QCheckBox *>();
        if (!tableBox->isChecked())
            tableBox->click();
        auto *runGrid = window.findChild<QWidget *>(QStringLiteral("runGrid"));
        QTest::qWait(50);
        const int before = runGrid->height();
        auto *column = qobject_cast<QSplitter *>(runGrid->parentWidget());
        ASSERT_NE(column, nullptr);
        QSplitterHandle *handle = column->handle(2);
        QTest::mousePress(handle, Qt::LeftButton, {}, handle->rect().center());
        QTest::mouseMove(handle, handle->rect().center() - QPoint(0, 60));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->rect().center() - QPoint(0, 60));
        QTest::qWait(50);
        EXPECT_GT(runGrid->height(), before + 30);
        // It stays as the window changes size.
        const int moved = runGrid->height();
        window.resize(window.width() + 100, window.height() + 40);
        QTest::qWait(50);
        EXPECT_EQ(runGrid->height(), moved);
        // A box at its initial text is saved as nothing.
        window.findChild<QComboBox *>(QStringLiteral("race"))->setEditText(QStringLiteral("RaceNo"));
        window.close();
    }
    const WindowState kept = readWindowState(app.app());
    EXPECT_EQ(kept.view, QStringLiteral("hikaku"));
    EXPECT_EQ(kept.day, QStringLiteral("09"));
    EXPECT_EQ(kept.race, QString());
    ASSERT_TRUE(kept.gridHeight);

    MainWindow again(app.app(), kSampleArchive);
    again.restoreState(kept, screens);
    again.show();
    ASSERT_TRUE(kept.geometry);
    EXPECT_EQ(again.normalGeometry().size(), kept.geometry->size());
    EXPECT_EQ(again.currentState(), kept);
    QTest::qWait(50);
    EXPECT_EQ(again.findChild<QWidget *>(QStringLiteral("runGrid"))->height(), *kept.gridHeight);
    EXPECT_TRUE(boxes.seen.isEmpty()) << boxes.texts().join(u'\n').toStdString();
}

// A load that fails after a race was shown leaves no race drawn that ignores
// the user: the window says "データ未読込み", the runner keys and 次へ find
// nothing, and the next load goes through as usual.
TEST(MainWindowLoad, AFailedLoadLeavesNothingOfTheOldRaceShown)
{
    AppFolderFixture app;
    BoxWatcher boxes;
    MainWindow window(app.app(), kSampleArchive);
    window.show();
    chooseSampleRace(window);
    auto *load = window.findChild<QAbstractButton *>(QStringLiteral("load"));
    load->click();
    ASSERT_TRUE(waitForJob(window));
    ASSERT_TRUE(boxes.seen.isEmpty()) << boxes.texts().join(u'\n').toStdString();
    const auto nothingLoaded = [&window] {
        int panels = 0;
        for (const QLabel *label : window.findChildren<QLabel *>())
            panels += label->text() == QStringLiteral("データ未読込み") ? 1 : 0;
        return panels;
    };
    EXPECT_EQ(nothingLoaded(), 0);

    // Day 08 is not in the archive.
    window.findChild<QComboBox *>(QStringLiteral("day"))->setEditText(QStringLiteral("08"));
    load->click();
    ASSERT_TRUE(waitForJob(window));
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Warning) << boxes.seen[0].text.toStdString();
    EXPECT_EQ(nothingLoaded(), 2);  // the race panel and the runner panel
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (button->text() == QStringLiteral("次へ"))
            button->click();
    }
    EXPECT_EQ(runnerText(window), QStringLiteral("01"));
    EXPECT_EQ(nothingLoaded(), 2);
    // No view of a race that is gone is kept for the next start.
    EXPECT_EQ(window.currentState().view, QString());

    window.findChild<QComboBox *>(QStringLiteral("day"))->setEditText(QStringLiteral("09"));
    load->click();
    ASSERT_TRUE(waitForJob(window));
    EXPECT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(nothingLoaded(), 0);
}

// 成績集計 from the keyboard: a typed date is taken as typed, Tab walks every
// filter and then 集計, the calendar opens at the journal's latest race in
// Japanese with Sunday first, a date that is none is said rather than dropped,
// and the filters come back in the next window of the session, which opens
// within its screen.
TEST(TallyWindow, TheFiltersWorkFromTheKeyboardAndAreKeptForTheSession)
{
    AppFolderFixture app;
    recordPendingRace(app.app(), QStringLiteral("https://site1.example"));
    const QDate latest = QDate::currentDate().addDays(-7);
    BoxWatcher boxes;
    MainWindow window(app.app(), QString());
    window.show();
    menuAction(window, QStringLiteral("成績集計(&T)..."))->trigger();
    auto *tally = window.findChild<TallyWindow *>();
    ASSERT_NE(tally, nullptr);
    const QRect screen = tally->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(tally->frameGeometry()))
        << screen.height() << " " << tally->frameGeometry().height();
    // The tally made on opening has ended, so 集計 takes the focus.
    ASSERT_TRUE(QTest::qWaitFor([tally] { return !tally->busy(); }, 5000));
    tally->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(tally));

    auto *from = tally->findChild<QWidget *>(QStringLiteral("from"))->findChild<QLineEdit *>();
    auto *to = tally->findChild<QWidget *>(QStringLiteral("to"))->findChild<QLineEdit *>();
    from->setFocus();
    QTest::keyClicks(from, QStringLiteral("2026-11-29"));
    EXPECT_EQ(tally->form().from, QDate(2026, 11, 29));

    // Tab: the other date, site, course, surface, the four bounds, the table, the group, 集計.
    const QStringList expected = {QStringLiteral("QLineEdit"), QStringLiteral("QComboBox"),
        QStringLiteral("QComboBox"), QStringLiteral("QComboBox"), QStringLiteral("QSpinBox"),
        QStringLiteral("QSpinBox"), QStringLiteral("QSpinBox"), QStringLiteral("QSpinBox"),
        QStringLiteral("QComboBox"), QStringLiteral("QComboBox"), QStringLiteral("QPushButton")};
    QStringList walked;
    QList<QWidget *> visited = {from};
    for (qsizetype i = 0; i < expected.size(); ++i) {
        ASSERT_NE(QApplication::focusWidget(), nullptr) << walked.join(u' ').toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // A spin box's focus may rest in its own line.
        if (qobject_cast<QSpinBox *>(focus->parentWidget()) != nullptr)
            focus = focus->parentWidget();
        walked.append(QString::fromLatin1(focus->metaObject()->className()));
        EXPECT_FALSE(visited.contains(focus)) << walked.join(u' ').toStdString();
        visited.append(focus);
    }
    EXPECT_EQ(walked, expected) << walked.join(u' ').toStdString();
    EXPECT_EQ(visited.value(1), to);
    EXPECT_EQ(qobject_cast<QPushButton *>(visited.last())->text(), QStringLiteral("集計"));
    // Up in a bound box steps a distance by 100 m and a field by one runner;
    // Down back to 指定なし.
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Up}) {
        for (qsizetype i = 5; i <= 8; ++i)
            QTest::keyClick(visited[i], key);
    }
    EXPECT_EQ(tally->form().distanceLow, 200);
    EXPECT_EQ(tally->form().distanceHigh, 200);
    EXPECT_EQ(tally->form().runnersLow, 2);
    EXPECT_EQ(tally->form().runnersHigh, 2);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down}) {
        for (qsizetype i = 5; i <= 8; ++i)
            QTest::keyClick(visited[i], key);
    }
    EXPECT_EQ(tally->form().runnersHigh, 0);

    // F4 in an empty date box: the calendar at the latest race.
    to->setFocus();
    QTest::keyClick(to, Qt::Key_F4);
    auto *calendar = tally->findChild<QWidget *>(QStringLiteral("to"))->findChild<QCalendarWidget *>();
    ASSERT_NE(calendar, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([calendar] { return calendar->isVisible(); }, 2000));
    EXPECT_EQ(calendar->yearShown(), latest.year());
    EXPECT_EQ(calendar->monthShown(), latest.month());
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Sunday);
    EXPECT_EQ(calendar->locale().language(), QLocale::Japanese);
    QTest::keyClick(calendar->focusWidget() ? calendar->focusWidget() : calendar, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([calendar] { return !calendar->isVisible(); }, 2000));
    EXPECT_EQ(tally->form().to, latest);

    // A date that is none is said, and nothing is tallied with it.
    boxes.seen.clear();
    to->setText(QStringLiteral("2026-13-01"));
    tally->findChild<QAbstractButton *>(QStringLiteral("tally"))->click();
    ASSERT_TRUE(QTest::qWaitFor([&boxes] { return !boxes.seen.isEmpty(); }, 2000));
    EXPECT_EQ(boxes.seen.size(), 1);
    EXPECT_TRUE(boxes.seen[0].text.contains(QStringLiteral("2026-13-01")))
        << boxes.seen[0].text.toStdString();
    to->clear();

    tally->findChildren<QComboBox *>().value(1)->setCurrentIndex(5);  // 東京
    tally->close();
    ASSERT_TRUE(QTest::qWaitFor([&window] { return window.findChild<TallyWindow *>() == nullptr; }, 2000));
    menuAction(window, QStringLiteral("成績集計(&T)..."))->trigger();
    auto *again = window.findChild<TallyWindow *>();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->form().from, QDate(2026, 11, 29));
    EXPECT_EQ(again->form().course, 5);
}

}  // namespace
}  // namespace marunoki::gui
