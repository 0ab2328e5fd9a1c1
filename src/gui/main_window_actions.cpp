// The main window's actions: menus, navigation, view buttons, printing, export
// and the meeting calendar.

#include "gui/main_window.h"

#include "app/driver/page_cache_setup.h"

#include "app/driver/race_selection.h"
#include "app/runner_navigation.h"
#include "gui/cell_grid_view.h"
#include "gui/gui_sinks.h"
#include "gui/picture_box.h"
#include "output/csv_export.h"
#include "output/painter_print_device.h"
#include "output/print_jobs.h"
#include "web/meeting_calendar.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"
#include "web/page_loader.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace marunoki::gui {

namespace {

// A label shows a carriage return as a line break only when it is a line feed.
QString panelText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

void setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace

void MainWindow::buildMenus()
{
    QMenu *system = menuBar()->addMenu(QStringLiteral("システム"));
    system->addAction(QStringLiteral("オプション設定"), this, &MainWindow::openOptions);
    system->addAction(QStringLiteral("バージョン情報"), this, &MainWindow::openAbout);
    system->addAction(QStringLiteral("終了"), this, &QWidget::close);
    QMenu *output = menuBar()->addMenu(QStringLiteral("印刷/出力"));
    output->addAction(QStringLiteral("グラフ印刷"), this, &MainWindow::printGraphs);
    output->addAction(QStringLiteral("馬柱印刷"), this, &MainWindow::printTable);
    output->addAction(QStringLiteral("CSV出力"), this, &MainWindow::exportCsv);
    menuBar()->addAction(QStringLiteral("馬場情報ファイル更新"), this, &MainWindow::openTrackUpdate);
    QMenu *day = menuBar()->addMenu(QStringLiteral("読込み"));
    day->addAction(QStringLiteral("1日分読込み"), this, &MainWindow::openDayLoad);
    day->addAction(QStringLiteral("最新の情報に更新"), this, [this] { startLoad(true); });
}

void MainWindow::connectControls()
{
    connect(loadButton_, &QPushButton::clicked, this, [this] { startLoad(); });
    for (QComboBox *box : {year_, course_, meeting_, day_})
        connect(box, &QComboBox::currentTextChanged, this, &MainWindow::markRaceBox);
    connect(calendarButton_, &QPushButton::clicked, this, &MainWindow::openCalendar);
    connect(endButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(nextButton_, &QPushButton::clicked, this,
        [this] { runnerChanged(nextRunner(store_.curUma, store_.tousuu)); });
    connect(picture1_, &PictureBox::clicked, this,
        [this] { runnerChanged(nextRunner(store_.curUma, store_.tousuu)); });
    connect(previousButton_, &QPushButton::clicked, this,
        [this] { runnerChanged(previousRunner(store_.curUma, store_.tousuu)); });
    connect(runnerBox_, &QComboBox::activated, this,
        [this] { runnerChanged(runnerFromBoxText(runnerBox_->currentText(), store_.tousuu)); });
    connect(taisenGrid_, &CellGridView::rowClicked, this, [this](int row) {
        if (const qint32 runner = runnerOfTaisenRow(row, store_.tousuu); runner > 0)
            runnerChanged(runner);
    });
    connect(graphButton_, &QPushButton::clicked, this,
        [this] { withViews([](ViewContext &context) { switchToGraph(context); }); });
    connect(hikakuButton_, &QPushButton::clicked, this,
        [this] { withViews([](ViewContext &context) { switchToHikaku(context); }); });
    connect(bacyuButton_, &QPushButton::clicked, this,
        [this] { withViews([](ViewContext &context) { switchToBacyu(context); }); });
    connect(tableCheck_, &QCheckBox::clicked, this, [this] {
        // Once clicked the box only knows on and off.
        tableCheck_->setTristate(false);
        withViews([this](ViewContext &context) { tableCheckClicked(context, folder_); });
    });
}

qint32 MainWindow::check1() const
{
    switch (tableCheck_->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

ViewContext MainWindow::viewContext()
{
    return ViewContext {store_, settings_, check1(), views_, *messages_};
}

void MainWindow::withViews(const std::function<void(ViewContext &)> &action)
{
    ViewContext context = viewContext();
    action(context);
    refreshViews();
}

void MainWindow::runnerChanged(qint32 runner)
{
    if (runner < 1 || runner > store_.tousuu) {
        // Nothing loaded: the runner box goes back to the runner shown.
        refreshViews();
        return;
    }
    store_.curUma = runner;
    withViews([](ViewContext &context) { redrawAfterRunnerChange(context); });
}

void MainWindow::refreshViews()
{
    picture1_->refresh();
    picture2_->refresh();
    taisenGrid_->refresh();
    runGrid_->refresh();
    bacyuGrid_->refresh();
    raceLabel_->setText(panelText(views_.raceInfo));
    runnerLabel_->setText(panelText(views_.umaInfo));
    const int index = runnerBox_->findText(views_.runnerBox);
    if (index >= 0)
        runnerBox_->setCurrentIndex(index);
}

void MainWindow::printWith(const QString &title, const std::function<void(ViewContext &, PrintDevice &)> &job)
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString file = printer.outputFileName();
    PainterPrintDevice device([&printer, file](int document) -> QPagedPaintDevice * {
        if (!file.isEmpty())
            printer.setOutputFileName(documentFileName(file, document));
        return printer.isValid() ? &printer : nullptr;
    });
    withViews([&device, &job](ViewContext &context) { job(context, device); });
}

void MainWindow::printGraphs()
{
    printWith(QStringLiteral("グラフ印刷"),
        [](ViewContext &context, PrintDevice &device) { printGraph(context, device, setBusy); });
}

void MainWindow::printTable()
{
    printWith(QStringLiteral("馬柱印刷"),
        [](ViewContext &context, PrintDevice &device) { printBacyu(context, device, setBusy); });
}

void MainWindow::exportCsv()
{
    writeCsv(store_, folder_, *messages_);
}

void MainWindow::openCalendar()
{
    // The top page is small; it is read on the user-interface thread with the
    // loader's own waiting (no stop button: the calendar ignores it). The issue
    // label shows the loader's status meanwhile.
    const QString issue = versionLabel_->text();
    // With --offline the top page comes from the same page archive as the races.
    NetworkPageSource network;
    PageArchive archive(offlineFolder_);
    OfflinePageSource offline(archive);
    PageSource &inner = offlineFolder_.isEmpty() ? static_cast<PageSource &>(network) : offline;
    // The calendar's maximum age in the page cache decides how often it is fetched.
    CachedSource cached = withPageCache(inner, folder_, settings_.cache, false, *messages_);
    LabelProgress progress(versionLabel_);
    PageLoader loader(*cached.source, progress, *messages_, store_.cancelFlag);
    MeetingCalendarReader reader;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CalendarTexts texts
        = reader.readKaisai(loader, settings_.site1Base + QStringLiteral("/"), *messages_);
    QApplication::restoreOverrideCursor();
    QApplication::processEvents();
    versionLabel_->setText(issue);
    if (!texts.filled)
        return;

    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("開催情報取得"));
    auto *grid = new QGridLayout(&dialog);
    for (int d = 0; d < 4; ++d) {
        const int column = (d / 2) * 2;
        const int row = (d % 2) * 3;
        grid->addWidget(new QLabel(texts.days[d]), row, column, 3, 1);
        for (int m = 0; m < 3; ++m) {
            const QString caption = texts.meetings[d * 3 + m];
            auto *button = new QPushButton(caption);
            button->setFlat(true);
            button->setCursor(Qt::PointingHandCursor);
            connect(button, &QPushButton::clicked, &dialog, [this, caption, &dialog] {
                const MeetingSelection chosen = meetingSelection(caption);
                meeting_->setEditText(chosen.meeting);
                day_->setEditText(chosen.day);
                course_->setEditText(chosen.course);
                dialog.accept();
            });
            grid->addWidget(button, row + m, column + 1);
        }
    }
    grid->addWidget(
        new QLabel(QStringLiteral("開催をクリックすると、対象レース選択ボックスに自動入力されます")), 6, 0, 1,
        4);
    grid->addWidget(
        new QLabel(QStringLiteral("注）今週開催は、出馬表が登録されるまで表示できません")), 7, 0, 1, 4);
    auto *close = new QPushButton(QStringLiteral("閉じる"));
    connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
    grid->addWidget(close, 8, 3);
    dialog.exec();
}

}  // namespace marunoki::gui
