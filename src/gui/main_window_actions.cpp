// The main window's actions: menus, navigation, view buttons, printing, export
// and the meeting calendar.

#include "gui/main_window.h"

#include "app/runner_navigation.h"
#include "driver/race_selection.h"
#include "driver/view_choices.h"
#include "gui/cell_grid_view.h"
#include "gui/graph_pane.h"
#include "gui/gui_sinks.h"
#include "output/csv_export.h"
#include "output/painter_print_device.h"
#include "output/print_jobs.h"
#include "web/meeting_calendar.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"
#include "web/page_loader.h"
#include "window/shown_runner.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>

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
    // Mnemonics for Alt and F10, the standard keys for printing and quitting.
    QMenu *system = menuBar()->addMenu(QStringLiteral("システム(&S)"));
    system->addAction(QStringLiteral("オプション設定(&O)..."), this, &MainWindow::openOptions);
    system->addAction(QStringLiteral("バージョン情報(&A)"), this, &MainWindow::openAbout);
    system->addSeparator();
    // The keys named outright: not every desktop binds the standard Quit key.
    quitAction_ = system->addAction(
        QStringLiteral("終了(&X)"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &QWidget::close);
    QMenu *output = menuBar()->addMenu(QStringLiteral("印刷/出力(&P)"));
    output->addAction(QStringLiteral("グラフ印刷(&G)..."), QKeySequence(Qt::CTRL | Qt::Key_P), this,
        &MainWindow::printGraphs);
    output->addAction(QStringLiteral("馬柱印刷(&B)..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this,
        &MainWindow::printTable);
    output->addAction(QStringLiteral("グラフ印刷プレビュー(&V)..."), this, &MainWindow::previewGraphs);
    output->addAction(QStringLiteral("馬柱印刷プレビュー(&W)..."), this, &MainWindow::previewTable);
    output->addSeparator();
    output->addAction(
        QStringLiteral("CSV出力(&C)"), QKeySequence(Qt::CTRL | Qt::Key_E), this, &MainWindow::exportCsv);
    menuBar()->addAction(QStringLiteral("馬場情報ファイル更新(&U)..."), this, &MainWindow::openTrackUpdate);
    QMenu *day = menuBar()->addMenu(QStringLiteral("読込み(&L)"));
    day->addAction(QStringLiteral("1日分読込み(&D)..."), this, &MainWindow::openDayLoad);
    day->addAction(QStringLiteral("最新の情報に更新(&R)"), QKeySequence(Qt::Key_F5), this, [this] {
        refreshNext_ = true;
        startLoad();
    });
    QMenu *journal = menuBar()->addMenu(QStringLiteral("成績(&T)"));
    journal->addAction(QStringLiteral("成績集計(&T)..."), this, &MainWindow::openTally);
    journal->addAction(QStringLiteral("成績取得(&R)..."), this, &MainWindow::fetchPendingResults);
    journal->addAction(QStringLiteral("過去レース検証(&B)..."), this, &MainWindow::openBacktest);
    // The menus' keys work from every window of the program: the loading
    // window, the day's window and the calendar take the focus from this one.
    for (QMenu *menu : {system, output, day}) {
        for (QAction *action : menu->actions()) {
            if (!action->shortcut().isEmpty())
                action->setShortcutContext(Qt::ApplicationShortcut);
        }
    }
    buildMarkMenu();
}

void MainWindow::connectControls()
{
    connect(loadButton_, &QPushButton::clicked, this, &MainWindow::startLoad);
    connect(calendarButton_, &QPushButton::clicked, this, &MainWindow::openCalendar);
    for (QComboBox *box : {year_, course_, meeting_, day_})
        connect(box, &QComboBox::currentTextChanged, this, &MainWindow::markRaceBox);
    connect(endButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(nextButton_, &QPushButton::clicked, this, [this] { stepRunner(1); });
    connect(graphPane_, &GraphPane::clicked, this, [this] { stepRunner(1); });
    connect(previousButton_, &QPushButton::clicked, this, [this] { stepRunner(-1); });
    // PageUp/PageDown and Ctrl+arrows move between runners from anywhere in the
    // window (a selection box's text keeps Ctrl+arrows for its words).
    const std::pair<QKeySequence, int> steps[]
        = {{QKeySequence(Qt::Key_PageUp), -1}, {QKeySequence(Qt::Key_PageDown), 1},
            {QKeySequence(Qt::CTRL | Qt::Key_Left), -1}, {QKeySequence(Qt::CTRL | Qt::Key_Right), 1}};
    for (const auto &[keys, step] : steps) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { stepRunner(step); });
    }
    // Enter in a selection box starts the load.
    for (QComboBox *box : {year_, course_, meeting_, day_, race_})
        connect(box->lineEdit(), &QLineEdit::returnPressed, this, &MainWindow::startLoad);
    connect(runnerBox_, &QComboBox::activated, this,
        [this] { runnerChanged(runnerFromBoxText(runnerBox_->currentText(), store_.runnerCount())); });
    connect(taisenGrid_, &CellGridView::rowClicked, this, [this](int row) {
        if (const qint32 runner = runnerOfTaisenRow(row, store_); runner > 0)
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
        shareLeftColumn();
    });
    connectMarks();
}

void MainWindow::stepRunner(int step)
{
    // During a load the store belongs to the worker.
    if (worker_.joinable())
        return;
    runnerChanged(step > 0 ? nextRunner(views_.shownRunner, store_.runnerCount())
                           : previousRunner(views_.shownRunner, store_.runnerCount()));
}

qint32 MainWindow::tableCheckState() const
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
    return ViewContext {store_, settings_, tableCheckState(), views_, *messages_};
}

void MainWindow::withViews(const std::function<void(ViewContext &)> &action)
{
    ViewContext context = viewContext();
    action(context);
    refreshViews();
}

void MainWindow::runnerChanged(qint32 runner)
{
    if (runner < 1 || runner > store_.fieldSize) {
        // Nothing loaded: the runner box goes back to the runner shown.
        refreshViews();
        return;
    }
    views_.shownRunner = runner;
    withViews([](ViewContext &context) { redrawAfterRunnerChange(context); });
}

void MainWindow::refreshViews()
{
    graphPane_->refresh();
    // A drawing of another shape (the legend of a loaded race) shares the room anew.
    if (graphPane_->sizeHint() != paneDesign_) {
        paneDesign_ = graphPane_->sizeHint();
        shareLeftColumn();
    }
    taisenGrid_->refresh();
    runGrid_->refresh();
    bacyuGrid_->refresh();
    raceLabel_->setText(panelText(views_.raceInfo));
    runnerLabel_->setText(panelText(views_.umaInfo));
    const int index = runnerBox_->findText(views_.runnerBox);
    if (index >= 0)
        runnerBox_->setCurrentIndex(index);
    refreshMarks();
}

void MainWindow::printWith(
    PrintJob kind, const QString &title, const std::function<void(ViewContext &, PrintDevice &)> &job)
{
    QPrinter printer(QPrinter::HighResolution);
    // The file this job printed to last time in this session is offered again.
    QString &printFile = printFiles_[kind];
    if (!printFile.isEmpty())
        printer.setOutputFileName(printFile);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString file = printer.outputFileName();
    if (!file.isEmpty())
        printFile = file;
    PainterPrintDevice device([&printer, file](int document) -> QPagedPaintDevice * {
        if (!file.isEmpty())
            printer.setOutputFileName(documentFileName(file, document));
        return printer.isValid() ? &printer : nullptr;
    });
    withViews([&device, &job](ViewContext &context) { job(context, device); });
}

void MainWindow::previewWith(
    PrintJob kind, const QString &title, const std::function<void(ViewContext &, PrintDevice &)> &job)
{
    QPrinter printer(QPrinter::HighResolution);
    QString &printFile = printFiles_[kind];
    if (!printFile.isEmpty())
        printer.setOutputFileName(printFile);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(title);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this, &job](QPrinter *target) {
        // Every page of the job is one page of the preview.
        const std::unique_ptr<PainterPrintDevice> pages
            = std::make_unique<PainterPrintDevice>(*target, PainterPrintDevice::Pages::OneFile);
        // A preview is no printing: the job's notes ("2ページ目を印刷します") would
        // only stand between the user and the pages.
        RecordingSink quiet;
        ViewContext context {store_, settings_, tableCheckState(), views_, quiet};
        {
            // Nor does it change the view on screen (the table's preview would
            // leave 馬柱 shown, and remembered at the end).
            const ShownRunner keep(context);
            job(context, *pages);
        }
        refreshViews();
    });
    preview.exec();
    if (!printer.outputFileName().isEmpty())
        printFile = printer.outputFileName();
}

namespace {

// The two print jobs, for the printer and for the preview alike.
void graphJob(ViewContext &context, PrintDevice &device)
{
    printGraph(context, device, setBusy);
}

void tableJob(ViewContext &context, PrintDevice &device)
{
    printBacyu(context, device, setBusy);
}

}  // namespace

void MainWindow::printGraphs()
{
    printWith(GraphPrint, QStringLiteral("グラフ印刷"), graphJob);
}

void MainWindow::printTable()
{
    printWith(TablePrint, QStringLiteral("馬柱印刷"), tableJob);
}

void MainWindow::previewGraphs()
{
    previewWith(GraphPrint, QStringLiteral("グラフ印刷プレビュー"), graphJob);
}

void MainWindow::previewTable()
{
    previewWith(TablePrint, QStringLiteral("馬柱印刷プレビュー"), tableJob);
}

void MainWindow::exportCsv()
{
    using Answer = CsvExportSession::Answer;
    const QString race = raceLabel(shownRace_);
    const CsvExportSession::Plan plan = csvSession_.plan(store_, folder_, race);
    Answer answer = plan.answer.value_or(Answer::Cancel);
    if (!plan.question.isEmpty()) {
        QMessageBox box(QMessageBox::Question, kProgramTitle,
            plan.question + QStringLiteral("\n（この答えは終了するまで使います）"), QMessageBox::NoButton,
            this);
        fitTitle(box);
        QPushButton *replace = box.addButton(QStringLiteral("置き換える"), QMessageBox::DestructiveRole);
        QPushButton *ownName
            = box.addButton(QStringLiteral("レース番号付きの名前で保存"), QMessageBox::AcceptRole);
        QPushButton *cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
        box.setDefaultButton(ownName);
        box.setEscapeButton(cancel);
        box.exec();
        answer = box.clickedButton() == replace ? Answer::Replace
            : box.clickedButton() == ownName    ? Answer::OwnName
                                                : Answer::Cancel;
        csvSession_.answered(answer);
    }
    if (answer == Answer::Cancel)
        return;
    const int number = answer == Answer::OwnName && shownRace_.race ? shownRace_.race->toInt() : 0;
    if (writeCsv(store_, folder_, *messages_, systemFileSystem(), number))
        csvSession_.written(csvPath(store_, folder_, number), race);
}

void MainWindow::calendarLoaded()
{
    if (!endBackgroundJob())
        return;
    const std::unique_ptr<CalendarTexts> texts = std::move(calendarResult_);
    Q_EMIT jobEnded();
    if (texts && texts->filled)
        showCalendar(*texts);
}

void MainWindow::showCalendar(const CalendarTexts &texts)
{
    auto *dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName(QStringLiteral("calendarWindow"));
    dialog->setWindowTitle(QStringLiteral("開催情報取得"));
    auto *grid = new QGridLayout(dialog);
    for (int d = 0; d < 4; ++d) {
        const int column = (d / 2) * 2;
        const int row = (d % 2) * 3;
        grid->addWidget(new QLabel(texts.days[d]), row, column, 3, 1);
        for (int m = 0; m < 3; ++m) {
            const QString caption = texts.meetings[d * 3 + m];
            auto *button = new QPushButton(caption);
            button->setFlat(true);
            button->setCursor(Qt::PointingHandCursor);
            connect(button, &QPushButton::clicked, dialog, [this, caption, dialog] {
                const MeetingSelection chosen = meetingSelection(caption);
                meeting_->setEditText(chosen.meeting);
                day_->setEditText(chosen.day);
                course_->setEditText(chosen.course);
                dialog->accept();
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
    connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    grid->addWidget(close, 8, 3);
    dialog->show();  // modeless, as the calendar window always was
}

}  // namespace marunoki::gui
