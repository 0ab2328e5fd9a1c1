#include "gui/main_window.h"

#include "app/driver/page_cache_setup.h"
#include "gui/day_load_dialog.h"

#include "analysis/track_db.h"
#include "app/db/database.h"
#include "app/driver/race_selection.h"
#include "app/format.h"
#include "app/runner_navigation.h"
#include "gui/cell_grid_view.h"
#include "gui/gui_sinks.h"
#include "gui/picture_box.h"
#include "view/painter_draw_box.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace marunoki::gui {

namespace {

QComboBox *comboWith(const QStringList &items, const QString &text)
{
    auto *box = new QComboBox;
    box->setEditable(true);
    box->setMinimumContentsLength(5);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->addItems(items);
    box->setEditText(text);
    return box;
}

QLabel *panel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
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
    // Ending the program unloads every window: the open dialogs close the way
    // their own buttons close them (the track-data update saves its folder).
    for (QDialog *dialog : {optionsDialog_.data(), aboutDialog_.data(), trackDialog_.data()}) {
        if (dialog != nullptr)
            dialog->close();
    }
    event->accept();
}

void MainWindow::buildControls()
{
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(buildSelection());
    layout->addWidget(buildViews(), 1);
    setCentralWidget(central);
    buildMenus();
    connectControls();
}

QWidget *MainWindow::buildSelection()
{
    auto *top = new QWidget;
    auto *row = new QHBoxLayout(top);
    row->setContentsMargins(0, 0, 0, 0);

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
    grid->addWidget(calendarButton_, 0, 5);
    grid->addWidget(loadButton_, 1, 5);
    row->addWidget(selection);

    auto *navigation = new QGroupBox(QStringLiteral("馬番の移動"));
    auto *nav = new QHBoxLayout(navigation);
    previousButton_ = new QPushButton(QStringLiteral("前へ"));
    runnerBox_ = comboWith(twoDigitItems(18), QStringLiteral("01"));
    runnerBox_->setEditable(false);
    nextButton_ = new QPushButton(QStringLiteral("次へ"));
    nav->addWidget(previousButton_);
    nav->addWidget(runnerBox_);
    nav->addWidget(nextButton_);
    row->addWidget(navigation);

    auto *viewChoice = new QGroupBox(QStringLiteral("表示形式"));
    auto *views = new QHBoxLayout(viewChoice);
    graphButton_ = new QPushButton(QStringLiteral("グラフ"));
    bacyuButton_ = new QPushButton(QStringLiteral("馬柱"));
    hikakuButton_ = new QPushButton(QStringLiteral("比較"));
    for (QPushButton *button : {graphButton_, bacyuButton_, hikakuButton_})
        views->addWidget(button);
    row->addWidget(viewChoice);

    auto *right = new QVBoxLayout;
    tableCheck_ = new QCheckBox(QStringLiteral("成績表の表示"));
    endButton_ = new QPushButton(QStringLiteral("終了"));
    right->addWidget(tableCheck_);
    right->addWidget(endButton_);
    row->addLayout(right);
    row->addStretch();
    return top;
}

QWidget *MainWindow::buildViews()
{
    auto *area = new QWidget;
    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);

    raceLabel_ = panel(QStringLiteral("データ未読込み"));
    grid->addWidget(raceLabel_, 0, 0);

    // The graph and its legend; the past-performance table lies over both.
    auto *graphArea = new QWidget;
    auto *stack = new QGridLayout(graphArea);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    picture1_ = new PictureBox(views_.picture1);
    picture2_ = new PictureBox(views_.picture2);
    stack->addWidget(picture1_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    stack->addWidget(picture2_, 0, 1, Qt::AlignLeft | Qt::AlignTop);
    stack->setColumnStretch(2, 1);
    bacyuGrid_ = new CellGridView(views_.bacyuGrid);
    stack->addWidget(bacyuGrid_, 0, 0, 1, 3);
    bacyuGrid_->raise();
    grid->addWidget(graphArea, 1, 0);

    runGrid_ = new CellGridView(views_.runGrid);
    runGrid_->setMinimumHeight(120);
    grid->addWidget(runGrid_, 2, 0, 1, 2);

    auto *side = new QVBoxLayout;
    runnerLabel_ = panel(QStringLiteral("データ未読込み"));
    QFont runnerFont(gothicFamily(QStringLiteral("ＭＳ ゴシック")));
    runnerFont.setPointSize(9);
    runnerLabel_->setFont(runnerFont);
    side->addWidget(runnerLabel_);
    side->addWidget(new QLabel(QStringLiteral("対戦成績　(馬名クリックでグラフ移動）")));
    taisenGrid_ = new CellGridView(views_.taisenGrid);
    side->addWidget(taisenGrid_, 1);
    versionLabel_ = new QLabel;
    versionLabel_->setWordWrap(true);
    side->addWidget(versionLabel_);
    grid->addLayout(side, 0, 1, 2, 1);
    grid->setRowStretch(1, 3);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    return area;
}

void MainWindow::startUp()
{
    store_.resetPublic();
    settings_ = readIniPara(folder_, *messages_);
    if (settings_.tableCheck) {
        // 2 is the grey state of the box.
        tableCheck_->setTristate(*settings_.tableCheck == 2);
        tableCheck_->setCheckState(*settings_.tableCheck == 2
                ? Qt::PartiallyChecked
                : (*settings_.tableCheck != 0 ? Qt::Checked : Qt::Unchecked));
    }
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
    refreshViews();
}

void MainWindow::setControlsEnabled(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *> {loadButton_, calendarButton_, previousButton_,
             nextButton_, runnerBox_, course_, year_, meeting_, day_, race_, graphButton_, bacyuButton_,
             hikakuButton_, tableCheck_, picture1_, taisenGrid_, menuBar()})
        w->setEnabled(enabled);
}

void MainWindow::startLoad(bool refresh)
{
    if (worker_.joinable())
        return;
    RaceSelection selection {year_->currentText(), course_->currentText(), meeting_->currentText(),
        day_->currentText(), race_->currentText(), settings_.site};
    loadStarting(views_);
    refreshViews();

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
    worker_ = std::thread([this, selection, settings, refresh] {
        NetworkPageSource network;
        PageArchive archive(offlineFolder_);
        OfflinePageSource offline(archive);
        PageSource &inner = offlineFolder_.isEmpty() ? static_cast<PageSource &>(network) : offline;
        CachedSource cached = withPageCache(inner, folder_, settings.cache, refresh, *messages_);
        LabelProgress progress(loadingStatus_);
        LoadContext context {store_, settings, folder_, *cached.source, progress, *messages_};
        loadResult_ = runLoad(selection, context);
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
    const bool analysed = loadResult_.analysed;
    withViews([analysed](ViewContext &context) { loadEnded(context, analysed); });
    markRaceBox();
}

void MainWindow::openDayLoad()
{
    if (dayDialog_)
        return;
    const DaySelection day {year_->currentText(), course_->currentText(), meeting_->currentText(),
        day_->currentText(), settings_.site, 1, kMaxRacesOfDay};
    // The same message as a load for a box still at its initial text.
    const QString missing = missingSelectionMessage(
        {day.year, day.course, day.meeting, day.day, QStringLiteral("01"), day.site});
    if (!missing.isEmpty()) {
        messages_->message(missing);
        return;
    }
    auto *dialog = new DayLoadDialog(day, settings_, folder_, offlineFolder_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &DayLoadDialog::dayEnded, this, &MainWindow::markRaceBox);
    dayDialog_ = dialog;
    dialog->show();
}

void MainWindow::markRaceBox()
{
    const RaceSelection day {year_->currentText(), course_->currentText(), meeting_->currentText(),
        day_->currentText(), QString(), settings_.site};
    QList<int> cached;
    if (missingSelectionMessage({day.year, day.course, day.meeting, day.day, QStringLiteral("01"), day.site})
            .isEmpty())
        cached = racesInCache(day, settings_, folder_);
    markCachedRaces(race_, cached);
}

}  // namespace marunoki::gui
