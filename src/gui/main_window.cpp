#include "gui/main_window.h"

#include "gui/day_load_dialog.h"

#include "app/format.h"
#include "app/runner_navigation.h"
#include "driver/race_selection.h"
#include "gui/cell_grid_view.h"
#include "gui/graph_pane.h"
#include "gui/gui_sinks.h"
#include "gui/loading_window.h"
#include "gui/mark_panel.h"
#include "gui/quit_past_modal.h"
#include "gui/tally_window.h"
#include "gui/wrapping_row.h"
#include "maintenance/first_start.h"
#include "maintenance/track_data_update.h"
#include "view/painter_draw_box.h"
#include "web/meeting_calendar.h"
#include "web/page_loader.h"
#include "window/column_layout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>

#include <utility>

namespace marunoki::gui {

namespace {

// A selection box takes what typing may leave on the way to a race and
// refuses the rest (the core decides which is which).
class SelectionValidator : public QValidator {
public:
    SelectionValidator(SelectionBox box, QObject *parent)
        : QValidator(parent)
        , box_(box)
    { }
    State validate(QString &input, int &) const override
    {
        switch (selectionInput(box_, input)) {
        case BoxInput::Value:
            return Acceptable;
        case BoxInput::Partial:
            return Intermediate;
        case BoxInput::Refused:
            break;
        }
        return Invalid;
    }

private:
    SelectionBox box_;
};

QComboBox *comboWith(const QStringList &items, const QString &text)
{
    auto *box = new QComboBox;
    box->setEditable(true);
    // Enter starts the load; it must not add the typed text as a new item.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setEditText(text);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

// A selection box wide enough for its longest item and its initial text, so no
// text is cut off whatever the font.
void fitTexts(QComboBox *box, const QStringList &more)
{
    int widest = 0;
    QStringList texts = more;
    for (int i = 0; i < box->count(); ++i)
        texts.append(box->itemText(i));
    for (const QString &text : texts)
        widest = std::max(widest, box->fontMetrics().horizontalAdvance(text));
    // The line edit sits between the frame and the arrow button.
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    const QSize frame = box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(0, 0), box);
    box->setMinimumWidth(widest + frame.width() + box->fontMetrics().averageCharWidth());
}

QLabel *panel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setContentsMargins(4, 2, 4, 2);
    return label;
}

// A panel whose text may be taller or wider than its place scrolls.
QScrollArea *scrolled(QWidget *content)
{
    auto *area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return area;
}

}  // namespace

MainWindow::MainWindow(const AppFolder &folder, const QString &offlineFolder, QWidget *parent)
    : QMainWindow(parent)
    , folder_(folder)
    , offlineFolder_(offlineFolder)
    , messages_(std::make_unique<MessageBoxSink>(this))
{
    setWindowTitle(kProgramTitle);
    // Dates, calendars and Qt's dialogs in Japanese, weeks from Sunday, whatever
    // the desktop's language; the dialogs opened from here take it over.
    setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    // The loading window steps aside for a message and comes back only while the
    // load goes on.
    messages_->setAroundMessage(
        [this] {
            if (loading_)
                loading_->hide();
        },
        [this] {
            QTimer::singleShot(150, this, [this] {
                if (loading_ && !workerDone_)
                    loading_->show();
            });
        });
    buildControls();
    startUp();
    // Ctrl+Q and the close box end the program also while a modal box is up.
    new QuitPastModal(this, [this] { close(); });
}

MainWindow::~MainWindow()
{
    stopJobs();
    if (worker_.joinable())
        worker_.join();
}

void MainWindow::stopJobs()
{
    messages_->setSilenced(true);
    store_.cancelFlag = -1;
    calendarStop_ = -1;
    resultsStop_ = -1;
    backtestStop_ = true;
    if (sources_)
        sources_->inner->cancelAll();
    if (dayDialog_)
        dayDialog_->stop();
}

bool MainWindow::jobsEndWithin(std::chrono::milliseconds limit)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        // Asked again each time: a fetch that began just after one stop (the
        // loader clears the flag it has seen) is dropped by the next.
        stopJobs();
        const bool dayDone = !dayDialog_ || dayDialog_->finished();
        if (workerDone_ && dayDone)
            break;
        if (clock.elapsed() >= limit.count())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (worker_.joinable())
        worker_.join();
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Ending the program ends it now, also during a load: the load is told to
    // stop without its cancel message and the window closes at once; the worker
    // lets go of the store before the window is destroyed (jobsEndWithin, the
    // destructor), and its result is never shown.
    if (worker_.joinable() || dayDialog_) {
        closeRequested_ = true;
        stopJobs();
    }
    closeLoadingWindow();
    if (!stateSaved_) {
        stateSaved_ = true;
        // The window ends whether or not its state could be kept.
        (void)writeWindowState(folder_, currentState());
    }
    // Ending the program unloads every window: the open dialogs close the way
    // their own buttons close them (the track-data update saves its folder).
    for (QDialog *dialog : {optionsDialog_.data(), aboutDialog_.data(), trackDialog_.data(),
             static_cast<QDialog *>(tallyWindow_.data())}) {
        if (dialog != nullptr)
            dialog->close();
    }
    if (dayDialog_)
        dayDialog_->hide();
    event->accept();
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::Paint && !screens_.isEmpty()) {
        // Once painted the window has been mapped and framed.
        QTimer::singleShot(0, this, &MainWindow::fitFrameOnScreen);
    }
    return QMainWindow::event(event);
}

void MainWindow::fitFrameOnScreen()
{
    const QList<QRect> screens = std::exchange(screens_, {});
    if (screens.isEmpty() || isMaximized() || isFullScreen())
        return;
    const QRect inside = geometry();
    const QRect outer = frameGeometry();
    const QMargins frame(inside.left() - outer.left(), inside.top() - outer.top(),
        outer.right() - inside.right(), outer.bottom() - inside.bottom());
    // Without a frame (no window manager) the window went where restoreState
    // put it.
    if (frame.isNull())
        return;
    for (const QRect &screen : screens) {
        if (screen.contains(outer))
            return;
    }
    if (const std::optional<QRect> placed = placeOnScreens(inside, frame, screens, minimumSizeHint()))
        setGeometry(*placed);
}

void MainWindow::buildControls()
{
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->addWidget(buildSelection());
    layout->addWidget(buildViews(), 1);
    setCentralWidget(central);
    buildMenus();
    connectControls();
}

QWidget *MainWindow::buildSelection()
{
    // On a narrow screen the groups go on in a second line.
    auto *top = new QWidget;
    auto *row = new WrappingRow(top);

    auto *selection = new QGroupBox(QStringLiteral("対象レースの選択"));
    auto *grid = new QGridLayout(selection);
    const QStringList captions = {QStringLiteral("開催年"), QStringLiteral("開催場"),
        QStringLiteral("開催回"), QStringLiteral("開催日"), QStringLiteral("RaceNo")};
    for (int i = 0; i < captions.size(); ++i)
        grid->addWidget(new QLabel(captions[i]), 0, i);
    year_ = comboWith({}, QString());
    course_ = comboWith({}, kCourseUnchosen);
    meeting_ = comboWith(twoDigitItems(kMaxMeetings), kMeetingUnchosen);
    day_ = comboWith(twoDigitItems(kMaxDaysOfMeeting), kDayUnchosen);
    race_ = comboWith(twoDigitItems(kMaxRacesOfDay), kRaceUnchosen);
    const std::pair<QComboBox *, SelectionBox> validated[]
        = {{year_, SelectionBox::Year}, {course_, SelectionBox::Course}, {meeting_, SelectionBox::Meeting},
            {day_, SelectionBox::Day}, {race_, SelectionBox::Race}};
    for (const auto &[box, kind] : validated)
        box->setValidator(new SelectionValidator(kind, box));
    year_->setObjectName(QStringLiteral("year"));
    course_->setObjectName(QStringLiteral("course"));
    meeting_->setObjectName(QStringLiteral("meeting"));
    day_->setObjectName(QStringLiteral("day"));
    race_->setObjectName(QStringLiteral("race"));
    const QList<QComboBox *> boxes = {year_, course_, meeting_, day_, race_};
    for (int i = 0; i < boxes.size(); ++i)
        grid->addWidget(boxes[i], 1, i);
    loadButton_ = new QPushButton(QStringLiteral("データ読込み開始"));
    calendarButton_ = new QPushButton(QStringLiteral("開催情報取得"));
    loadButton_->setObjectName(QStringLiteral("load"));
    calendarButton_->setObjectName(QStringLiteral("calendar"));
    grid->addWidget(calendarButton_, 0, 5);
    grid->addWidget(loadButton_, 1, 5);
    row->addWidget(selection);

    auto *navigation = new QGroupBox(QStringLiteral("馬番の移動"));
    auto *nav = new QHBoxLayout(navigation);
    previousButton_ = new QPushButton(QStringLiteral("前へ"));
    runnerBox_ = comboWith(twoDigitItems(18), QStringLiteral("01"));
    runnerBox_->setEditable(false);
    runnerBox_->setObjectName(QStringLiteral("runner"));
    nextButton_ = new QPushButton(QStringLiteral("次へ"));
    previousButton_->setToolTip(QStringLiteral("前の馬 (PageUp, Ctrl+←)"));
    nextButton_->setToolTip(QStringLiteral("次の馬 (PageDown, Ctrl+→)"));
    nav->addWidget(previousButton_);
    nav->addWidget(runnerBox_);
    markLabel_ = markLabel();
    nav->addWidget(markLabel_);
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

    auto *rightColumn = new QWidget;
    auto *right = new QVBoxLayout(rightColumn);
    right->setContentsMargins(0, 0, 0, 0);
    tableCheck_ = new QCheckBox(QStringLiteral("成績表の表示"));
    endButton_ = new QPushButton(QStringLiteral("終了"));
    endButton_->setObjectName(QStringLiteral("end"));
    right->addWidget(tableCheck_);
    right->addWidget(endButton_);
    row->addWidget(rightColumn);
    return top;
}

QWidget *MainWindow::buildViews()
{
    // Left: the race panel, the graph with its legend (the past-performance
    // table lies over both) and the per-run grid; right: the runner panel and the
    // head-to-head grid. Splitters let the user share the space otherwise.
    auto *left = new QSplitter(Qt::Vertical);
    left->setChildrenCollapsible(false);
    leftColumn_ = left;
    raceLabel_ = panel(QStringLiteral("データ未読込み"));
    auto *raceArea = scrolled(raceLabel_);
    raceArea_ = raceArea;
    raceArea->setMinimumHeight(raceLabel_->fontMetrics().lineSpacing() * 2 + 8);
    left->addWidget(raceArea);

    auto *graphArea = new QWidget;
    auto *stack = new QGridLayout(graphArea);
    stack->setContentsMargins(0, 0, 0, 0);
    graphPane_ = new GraphPane(views_.graphBox, views_.legendBox);
    stack->addWidget(graphPane_, 0, 0);
    bacyuGrid_ = new CellGridView(views_.bacyuGrid);
    stack->addWidget(bacyuGrid_, 0, 0);
    bacyuGrid_->raise();
    left->addWidget(graphArea);

    runGrid_ = new CellGridView(views_.runGrid);
    runGrid_->setObjectName(QStringLiteral("runGrid"));
    runGrid_->setMinimumHeight(60);
    left->addWidget(runGrid_);
    left->setStretchFactor(0, 0);
    left->setStretchFactor(1, 3);
    left->setStretchFactor(2, 1);
    // Shares of the first layout; shareLeftColumn sets them as the column's
    // size changes.
    left->setSizes({raceArea->minimumHeight(), 600, 220});
    left->installEventFilter(this);
    // The line between the graph and the per-run grid, once moved, stays where
    // the user put it (and is remembered with the window).
    connect(left, &QSplitter::splitterMoved, this, [this](int, int index) {
        if (index == 2) {
            gridHeight_ = leftColumn_->sizes().value(2);
            shareLeftColumn();
        }
    });

    auto *side = new QWidget;
    auto *column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    runnerLabel_ = panel(QStringLiteral("データ未読込み"));
    QFont runnerFont(gothicFamily(QStringLiteral("ＭＳ ゴシック")));
    runnerFont.setPointSize(9);
    runnerLabel_->setFont(runnerFont);
    column->addWidget(scrolled(runnerLabel_), 2);
    markPanel_ = new MarkPanel;
    column->addWidget(markPanel_, 1);
    auto *taisenCaption = new QLabel(QStringLiteral("対戦成績　(馬名クリックでグラフ移動）"));
    taisenCaption->setWordWrap(true);
    column->addWidget(taisenCaption);
    taisenGrid_ = new CellGridView(views_.taisenGrid);
    taisenGrid_->setObjectName(QStringLiteral("taisenGrid"));
    taisenGrid_->setMinimumHeight(60);
    column->addWidget(taisenGrid_, 3);
    versionLabel_ = new QLabel;
    versionLabel_->setWordWrap(true);
    column->addWidget(versionLabel_);

    auto *area = new QSplitter(Qt::Horizontal);
    area_ = area;
    area->setChildrenCollapsible(false);
    area->addWidget(left);
    area->addWidget(side);
    area->setStretchFactor(0, 3);
    area->setStretchFactor(1, 1);
    area->setSizes({900, 300});
    side->setMinimumWidth(
        taisenCaption->fontMetrics().horizontalAdvance(QStringLiteral("対戦成績　(馬名")) + 40);
    area->installEventFilter(this);
    return area;
}

void MainWindow::startUp()
{
    store_.clearForLoad();
    settings_ = readSettings(folder_, *messages_);
    if (settings_.tableCheck) {
        // 2 is the grey state of the box.
        tableCheck_->setTristate(*settings_.tableCheck == 2);
        tableCheck_->setCheckState(*settings_.tableCheck == 2
                ? Qt::PartiallyChecked
                : (*settings_.tableCheck != 0 ? Qt::Checked : Qt::Unchecked));
    }
    for (int i = 1; i <= kCourseCount; ++i)
        course_->addItem(courseNames()[size_t(i)]);
    course_->setEditText(kCourseUnchosen);
    const int thisYear = QDate::currentDate().year();
    year_->addItems(yearItems(thisYear));
    year_->setEditText(QString::number(thisYear));
    fitTexts(year_, {});
    fitTexts(course_, {kCourseUnchosen});
    fitTexts(meeting_, {kMeetingUnchosen});
    fitTexts(day_, {kDayUnchosen});
    fitTexts(race_, {kRaceUnchosen});
    fitTexts(runnerBox_, {});

    // A missing track database is said once, by askForTrackDatabase, not as a
    // file that cannot be opened.
    if (!trackDatabaseMissing(folder_)) {
        if (const std::optional<QString> version = installedTrackVersion(folder_, *messages_))
            versionLabel_->setText(*version);
    }
    refreshViews();
}

void MainWindow::restoreState(const WindowState &state, const QList<QRect> &screens)
{
    // Only what can be a race comes back (an initial text kept by an older
    // version, or a damaged value, leaves the box as it is).
    const auto choose = [](QComboBox *box, SelectionBox kind, const QString &text) {
        if (const std::optional<QString> value = selectionValue(kind, text))
            box->setEditText(*value);
    };
    choose(year_, SelectionBox::Year, state.year);
    choose(course_, SelectionBox::Course, state.course);
    choose(meeting_, SelectionBox::Meeting, state.meeting);
    choose(day_, SelectionBox::Day, state.day);
    choose(race_, SelectionBox::Race, state.race);
    views_.viewAfterLoad = state.view;
    gridHeight_ = state.gridHeight;
    // Checked again once the window manager has framed the window.
    screens_ = screens;
    if (state.geometry) {
        // Before the window is shown its frame is not known: the usual one.
        const QMargins frame = isVisible()
            ? QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom())
            : kUsualWindowFrame;
        if (const std::optional<QRect> placed
            = placeOnScreens(*state.geometry, frame, screens, minimumSizeHint()))
            setGeometry(*placed);
    }
    if (state.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

WindowState MainWindow::currentState() const
{
    WindowState state;
    state.geometry = normalGeometry();
    state.maximized = isMaximized();
    // A box not chosen is saved as nothing, not as its initial text.
    const RaceSelection chosen = chosenRace();
    state.year = chosen.year;
    state.course = chosen.course.value_or(QString());
    state.meeting = chosen.meeting.value_or(QString());
    state.day = chosen.day.value_or(QString());
    state.race = chosen.race.value_or(QString());
    // Before any load the remembered view still waits for the first one.
    state.view = views_.analysed ? shownView(views_) : views_.viewAfterLoad;
    state.gridHeight = gridHeight_;
    return state;
}

void MainWindow::setControlsEnabled(bool enabled)
{
    if (!enabled) {
        // Disabling the control with the focus hands it on to the next one,
        // which during a load is 終了: the Space that follows the load would end
        // the program. The focus leaves the window instead, and comes back below.
        QWidget *focused = QApplication::focusWidget();
        focusBeforeJob_ = focused != nullptr && isAncestorOf(focused) ? focused : nullptr;
        if (focused != nullptr && isAncestorOf(focused))
            focused->clearFocus();
    }
    for (QWidget *w : std::initializer_list<QWidget *> {loadButton_, calendarButton_, previousButton_,
             nextButton_, runnerBox_, course_, year_, meeting_, day_, race_, graphButton_, bacyuButton_,
             hikakuButton_, tableCheck_, graphPane_, taisenGrid_})
        w->setEnabled(enabled);
    // The menus stay reachable for 終了 (Ctrl+Q); their other commands wait.
    for (QAction *action : menuBar()->actions()) {
        if (QMenu *menu = action->menu()) {
            for (QAction *item : menu->actions()) {
                if (item != quitAction_)
                    item->setEnabled(enabled);
            }
        } else {
            action->setEnabled(enabled);
        }
    }
    if (enabled) {
        refreshMarks();
        // Back where the user was, or on the graph; never on 終了. Given as
        // a keyboard move so that the focus ring shows.
        QWidget *back = focusBeforeJob_;
        if (back == nullptr || back == endButton_ || !back->isEnabled() || !back->isVisible())
            back = graphPane_;
        back->setFocus(Qt::TabFocusReason);
        focusBeforeJob_ = nullptr;
    }
}

void MainWindow::makeSource()
{
    // The old sources go first: the old archive may still be read by them.
    sources_.reset();
    PageSourceChoice choice;
    choice.offlineFolder = offlineFolder_;
    choice.cacheOffline = true;
    choice.refresh = refreshNext_;
    sources_ = std::make_unique<PageSources>(makePageSources(choice, folder_, settings_, *messages_));
    refreshNext_ = false;
}

void MainWindow::runInBackground(LoadingWindow *window, std::atomic<qint16> &stopFlag,
    std::function<void()> job, void (MainWindow::*done)())
{
    loading_ = window;
    connect(window, &LoadingWindow::stopRequested, this, [&stopFlag] { stopFlag = -1; });
    loading_->show();
    setControlsEnabled(false);
    workerDone_ = false;
    worker_ = std::thread([this, job = std::move(job), done] {
        job();
        workerDone_ = true;
        QMetaObject::invokeMethod(this, done, Qt::QueuedConnection);
    });
}

void MainWindow::closeLoadingWindow()
{
    if (loading_) {
        loading_->hide();
        loading_->deleteLater();
        loading_ = nullptr;
        // The keys (PageDown, Ctrl+P ...) go to this window again.
        if (isVisible())
            activateWindow();
    }
}

void MainWindow::startLoad()
{
    if (worker_.joinable())
        return;
    const RaceSelection selection = chosenRace();
    marks_.loadStarting();
    loadStarting(views_);
    refreshViews();

    makeSource();
    if (!missingSelectionMessage(selection).isEmpty()) {
        // Nothing to fetch: the driver resets the store and names the first box
        // still unchosen at once, without a loading window.
        LoadingProgress none(nullptr, nullptr);
        LoadContext context {store_, settings_, folder_, *sources_->source, none, *messages_};
        loadResult_ = runLoad(selection, context);
        withViews([](ViewContext &c) { loadEnded(c, false); });
        return;
    }

    auto *window = new LoadingWindow(QString(), true, this);
    const Settings settings = settings_;
    PageSource *source = sources_->source;
    auto progress = std::make_shared<LoadingProgress>(window->statusLine(), window->progressBar());
    loadingRace_ = selection;
    runInBackground(
        window, store_.cancelFlag,
        [this, selection, settings, source, progress] {
            LoadContext context {store_, settings, folder_, *source, *progress, *messages_};
            loadResult_ = runLoad(selection, context);
        },
        &MainWindow::loadFinished);
}

bool MainWindow::endBackgroundJob()
{
    if (worker_.joinable())
        worker_.join();
    closeLoadingWindow();
    setControlsEnabled(true);
    if (closeRequested_) {
        close();
        return false;
    }
    return true;
}

void MainWindow::loadFinished()
{
    if (!endBackgroundJob())
        return;
    const bool analysed = loadResult_.analysed;
    if (analysed)
        shownRace_ = loadingRace_;
    marks_.raceShown(shownRace_, analysed, loadResult_.journalFailed, settings_.keepJournal, *messages_);
    withViews([analysed](ViewContext &context) { loadEnded(context, analysed); });
    markRaceBox();
    Q_EMIT jobEnded();
}

RaceSelection MainWindow::chosenRace() const
{
    return raceOfBoxes({year_->currentText(), course_->currentText(), meeting_->currentText(),
                           day_->currentText(), race_->currentText()},
        settings_.site);
}

void MainWindow::openDayLoad()
{
    if (dayDialog_)
        return;
    RaceSelection chosen = chosenRace();
    chosen.race = QStringLiteral("01");
    // The same message as a load for a box still at its initial text.
    const QString missing = missingSelectionMessage(chosen);
    if (!missing.isEmpty()) {
        messages_->message(missing);
        return;
    }
    const DaySelection day {
        chosen.year, *chosen.course, *chosen.meeting, *chosen.day, chosen.site, 1, kMaxRacesOfDay};
    auto *dialog = new DayLoadDialog(day, settings_, folder_, offlineFolder_, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &DayLoadDialog::dayEnded, this, &MainWindow::markRaceBox);
    dayDialog_ = dialog;
    dialog->show();
}

void MainWindow::markRaceBox()
{
    RaceSelection day = chosenRace();
    day.race = QStringLiteral("01");
    QList<int> cached;
    if (missingSelectionMessage(day).isEmpty())
        cached = racesInCache(day, settings_, folder_);
    markCachedRaces(race_, cached);
}

void MainWindow::openCalendar()
{
    if (worker_.joinable())
        return;
    makeSource();
    auto *window = new LoadingWindow(QStringLiteral("開催情報 読込み中・・・"), true, this);
    PageSource *source = sources_->source;
    auto progress = std::make_shared<LoadingProgress>(window->statusLine(), window->progressBar());
    const QString url = settings_.site1Base + QStringLiteral("/");
    calendarResult_.reset();
    calendarStop_ = 0;
    runInBackground(
        window, calendarStop_,
        [this, source, progress, url] {
            PageLoader loader(*source, *progress, *messages_, calendarStop_);
            MeetingCalendarReader reader;
            calendarResult_ = std::make_unique<CalendarTexts>(reader.readKaisai(loader, url, *messages_));
        },
        &MainWindow::calendarLoaded);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == leftColumn_ || watched == area_) && event->type() == QEvent::Resize)
        QTimer::singleShot(0, this, &MainWindow::shareLeftColumn);
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::shareLeftColumn()
{
    const bool gridShown = runGridShown(tableCheckState());
    runGrid_->setVisible(gridShown);
    const QList<int> sizes = leftColumn_->sizes();
    const int handles = leftColumn_->handleWidth() * (gridShown ? 2 : 1);
    const int shared = leftColumn_->height() - sizes.value(0) - handles;
    const QSize design = graphPane_->sizeHint();
    const double aspect = design.height() > 0 ? double(design.width()) / design.height() : 0;
    // The grid's header and four runs, and its scroll bar.
    const int gridMinimum = runGrid_->fontMetrics().lineSpacing() * 7 + 8;
    // The width the graph cannot fill at the height it gets goes to the panels.
    const int gridRoom = gridShown ? std::max(gridHeight_.value_or(gridMinimum), gridMinimum) : 0;
    const QList<int> across = area_->sizes();
    const QWidget *side = area_->widget(1);
    const RowShares row = shareRow(across.value(0) + across.value(1), shared - gridRoom, aspect,
        std::max(side->minimumWidth(), side->minimumSizeHint().width()));
    if (row.column > 0 && across != QList<int> {row.column, row.side})
        area_->setSizes({row.column, row.side});
    const ColumnShares shares
        = shareColumn(shared, leftColumn_->width(), aspect, gridMinimum, gridShown, gridHeight_);
    leftColumn_->setSizes({sizes.value(0), shares.graph, shares.grid});
}

}  // namespace marunoki::gui
