#include "gui/main_window.h"

#include "analysis/track_db.h"
#include "app/db/database.h"
#include "app/driver/load_driver.h"
#include "app/driver/race_selection.h"
#include "app/format.h"
#include "app/runner_navigation.h"
#include "gui/gui_sinks.h"
#include "output/csv_export.h"
#include "view/run_table.h"
#include "web/meeting_calendar.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"
#include "web/page_loader.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace marunoki::gui {

namespace {

QComboBox *comboWith(const QStringList &items, const QString &text)
{
    auto *box = new QComboBox;
    box->setEditable(true);
    box->addItems(items);
    box->setEditText(text);
    return box;
}

}  // namespace

MainWindow::MainWindow(const AppFolder &folder, const QString &offlineFolder, QWidget *parent)
    : QMainWindow(parent)
    , folder_(folder)
    , offlineFolder_(offlineFolder)
    , messages_(std::make_unique<MessageBoxSink>(this))
{
    setWindowTitle(QStringLiteral("中央競馬もMarunoki"));
    buildControls();
    startUp();
}

MainWindow::~MainWindow()
{
    store_.cancelFlag = -1;
    if (worker_.joinable())
        worker_.join();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (worker_.joinable()) {
        closeRequested_ = true;
        store_.cancelFlag = -1;
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::buildControls()
{
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);

    auto *selection = new QGroupBox(QStringLiteral("対象レースの選択"));
    auto *grid = new QGridLayout(selection);
    const QStringList captions = {QStringLiteral("開催年"), QStringLiteral("開催場"),
        QStringLiteral("開催回"), QStringLiteral("開催日"), QStringLiteral("RaceNo")};
    for (int i = 0; i < captions.size(); ++i)
        grid->addWidget(new QLabel(captions[i]), 0, i);
    year_ = comboWith({}, QString());
    course_ = comboWith({}, kCourseUnchosen);
    meeting_ = comboWith(twoDigitItems(8), kMeetingUnchosen);
    day_ = comboWith(twoDigitItems(8), kDayUnchosen);
    race_ = comboWith(twoDigitItems(12), kRaceUnchosen);
    const QList<QComboBox *> boxes = {year_, course_, meeting_, day_, race_};
    for (int i = 0; i < boxes.size(); ++i)
        grid->addWidget(boxes[i], 1, i);
    loadButton_ = new QPushButton(QStringLiteral("データ読込み開始"));
    calendarButton_ = new QPushButton(QStringLiteral("開催情報取得"));
    grid->addWidget(loadButton_, 1, 5);
    grid->addWidget(calendarButton_, 0, 5);
    layout->addWidget(selection);

    auto *navigation = new QGroupBox(QStringLiteral("馬番の移動"));
    auto *nav = new QHBoxLayout(navigation);
    previousButton_ = new QPushButton(QStringLiteral("前へ"));
    runnerBox_ = comboWith(twoDigitItems(18), QStringLiteral("01"));
    runnerBox_->setEditable(false);
    nextButton_ = new QPushButton(QStringLiteral("次へ"));
    nav->addWidget(previousButton_);
    nav->addWidget(runnerBox_);
    nav->addWidget(nextButton_);
    tableCheck_ = new QCheckBox(QStringLiteral("成績表の表示"));
    nav->addWidget(tableCheck_);
    nav->addStretch();
    versionLabel_ = new QLabel;
    nav->addWidget(versionLabel_);
    layout->addWidget(navigation);

    auto *panels = new QHBoxLayout;
    raceLabel_ = new QLabel(QStringLiteral("データ未読込み"));
    runnerLabel_ = new QLabel(QStringLiteral("データ未読込み"));
    for (QLabel *label : {raceLabel_, runnerLabel_}) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        panels->addWidget(label, 1);
    }
    layout->addLayout(panels);

    runTable_ = new QTableWidget(0, runTableHeaders().size());
    runTable_->setHorizontalHeaderLabels(runTableHeaders());
    runTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    runTable_->verticalHeader()->setVisible(false);
    layout->addWidget(runTable_, 1);
    setCentralWidget(central);

    QMenu *system = menuBar()->addMenu(QStringLiteral("システム"));
    system->addAction(QStringLiteral("バージョン情報"), this, [this] {
        QMessageBox::about(this, QStringLiteral("バージョン情報"),
            QStringLiteral("Marunoki ") + QApplication::applicationVersion());
    });
    system->addAction(QStringLiteral("終了"), this, &QWidget::close);
    QMenu *output = menuBar()->addMenu(QStringLiteral("印刷/出力"));
    output->addAction(QStringLiteral("CSV出力"), this, &MainWindow::exportCsv);

    connect(loadButton_, &QPushButton::clicked, this, &MainWindow::startLoad);
    connect(calendarButton_, &QPushButton::clicked, this, &MainWindow::openCalendar);
    connect(nextButton_, &QPushButton::clicked, this,
        [this] { showRunner(nextRunner(store_.curUma, store_.tousuu)); });
    connect(previousButton_, &QPushButton::clicked, this,
        [this] { showRunner(previousRunner(store_.curUma, store_.tousuu)); });
    connect(runnerBox_, &QComboBox::activated, this,
        [this] { showRunner(runnerFromBoxText(runnerBox_->currentText(), store_.tousuu)); });
    connect(tableCheck_, &QCheckBox::clicked, this, [this](bool checked) {
        writeWriteHyo(folder_, checked ? 1 : 0);
        runTable_->setVisible(checked);
    });
}

void MainWindow::startUp()
{
    store_.resetPublic();
    settings_ = readIniPara(folder_, *messages_);
    if (settings_.tableCheck)
        tableCheck_->setChecked(*settings_.tableCheck != 0);
    runTable_->setVisible(tableCheck_->isChecked());
    for (int i = 1; i <= kCourseCount; ++i)
        course_->addItem(store_.zyoName[i]);
    course_->setEditText(kCourseUnchosen);
    const int thisYear = QDate::currentDate().year();
    year_->addItems(yearItems(thisYear));
    year_->setEditText(QString::number(thisYear));

    if (auto db = Database::open(folder_.file(QStringLiteral("marunoki.dat")), *messages_)) {
        TrackDatabase track(*db, TrackDatabase::Kind::Central);
        const std::optional<double> issued = track.issueDate();
        if (issued && *issued > 0)
            versionLabel_->setText(QStringLiteral("現在の馬場情報ファイルは ")
                + formatDate(*issued, QStringLiteral("yyyy/mm/dd")) + QStringLiteral("版です"));
    }
}

void MainWindow::setControlsEnabled(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *> {loadButton_, calendarButton_, previousButton_,
             nextButton_, runnerBox_, course_, year_, meeting_, day_, race_, menuBar()})
        w->setEnabled(enabled);
}

void MainWindow::startLoad()
{
    if (worker_.joinable())
        return;
    RaceSelection selection {year_->currentText(), course_->currentText(), meeting_->currentText(),
        day_->currentText(), race_->currentText(), settings_.site};

    loading_ = new QDialog(this);
    loading_->setWindowTitle(QStringLiteral("読込み中"));
    auto *box = new QVBoxLayout(loading_);
    loadingStatus_ = new QLabel;
    loadingStatus_->setMinimumWidth(320);
    auto *stop = new QPushButton(QStringLiteral("読込み中止"));
    box->addWidget(loadingStatus_);
    box->addWidget(stop);
    connect(stop, &QPushButton::clicked, this, [this] { store_.cancelFlag = -1; });
    loading_->show();
    setControlsEnabled(false);

    const Settings settings = settings_;
    worker_ = std::thread([this, selection, settings] {
        NetworkPageSource network;
        PageArchive archive(offlineFolder_);
        OfflinePageSource offline(archive);
        PageSource &source = offlineFolder_.isEmpty() ? static_cast<PageSource &>(network) : offline;
        LabelProgress progress(loadingStatus_);
        LoadContext context {store_, settings, folder_, source, progress, *messages_};
        runLoad(selection, context);
        QMetaObject::invokeMethod(this, &MainWindow::loadFinished, Qt::QueuedConnection);
    });
}

void MainWindow::loadFinished()
{
    if (worker_.joinable())
        worker_.join();
    if (loading_) {
        loading_->deleteLater();
        loading_ = nullptr;
        loadingStatus_ = nullptr;
    }
    setControlsEnabled(true);
    if (closeRequested_) {
        close();
        return;
    }
    raceLabel_->setText(raceSummary(store_));
    showRunner(store_.curUma);
}

void MainWindow::showRunner(qint32 runner)
{
    if (runner < 1 || runner > store_.tousuu) {
        runnerLabel_->setText(QStringLiteral("データ未読込み"));
        runTable_->setRowCount(0);
        return;
    }
    store_.curUma = runner;
    runnerBox_->setCurrentIndex(runner - 1);
    runnerLabel_->setText(runnerSummary(store_, runner));
    const auto rows = runTableRows(store_, runner);
    runTable_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            runTable_->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    runTable_->resizeColumnsToContents();
}

void MainWindow::openCalendar()
{
    // The top page is small; it is read on the user-interface thread with the
    // loader's own waiting (no stop button: the calendar ignores it).
    NetworkPageSource source;
    LabelProgress progress(versionLabel_);
    PageLoader loader(source, progress, *messages_, store_.cancelFlag);
    MeetingCalendarReader reader;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CalendarTexts texts
        = reader.readKaisai(loader, settings_.site1Base + QStringLiteral("/"), *messages_);
    QApplication::restoreOverrideCursor();
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

void MainWindow::exportCsv()
{
    writeCsv(store_, folder_, *messages_);
}

}  // namespace marunoki::gui
