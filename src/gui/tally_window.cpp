#include "gui/tally_window.h"

#include "app/message_sink.h"
#include "app/race_store.h"
#include "gui/cell_grid_view.h"
#include "gui/date_box.h"
#include "journal/tally_request.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace marunoki::gui {

namespace {

const QString kNoBound = QStringLiteral("指定なし");

// A table's bar chart, the SVG the HTML page holds, at three quarters of its
// size so that it fits beside its table.
class ChartView : public QWidget {
public:
    explicit ChartView(const QByteArray &svg)
        : renderer_(svg, this)
    {
        setFixedSize(renderer_.defaultSize() * 3 / 4);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        // The chart's own white ground is sized in percent, which the
        // renderer does not take.
        painter.fillRect(rect(), Qt::white);
        renderer_.render(&painter, rect());
    }

private:
    QSvgRenderer renderer_;
};

QSpinBox *boundBox(int most, int step)
{
    auto *box = new QSpinBox;
    box->setRange(0, most);
    box->setSingleStep(step);
    box->setSpecialValueText(kNoBound);
    return box;
}

QComboBox *choiceBox(const QStringList &items)
{
    auto *box = new QComboBox;
    box->addItems(items);
    return box;
}

// A grid as tall and wide as its cells: the window scrolls, not each table.
void fitToCells(CellGridView *view)
{
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * view->frameWidth();
    view->setFixedSize(view->horizontalHeader()->length() + frame, view->verticalHeader()->length() + frame);
}

}  // namespace

TallyWindow::TallyWindow(const AppFolder &folder, MessageSink &messages, QWidget *parent)
    : QDialog(parent)
    , folder_(folder)
    , messages_(messages)
    , headline_(new QLabel)
    , conditions_(new QLabel)
    , footer_(new QLabel)
    , tables_(new QScrollArea)
{
    setWindowTitle(QStringLiteral("成績集計"));
    setObjectName(QStringLiteral("tallyWindow"));
    auto *column = new QVBoxLayout(this);
    column->addWidget(buildFilters());
    headline_->setObjectName(QStringLiteral("tallyHeadline"));
    QFont strong = headline_->font();
    strong.setBold(true);
    headline_->setFont(strong);
    column->addWidget(headline_);
    conditions_->setObjectName(QStringLiteral("tallyConditions"));
    column->addWidget(conditions_);
    tables_->setWidgetResizable(true);
    column->addWidget(tables_, 1);
    footer_->setObjectName(QStringLiteral("tallyFooter"));
    column->addWidget(footer_);
    resize(960, 660);
}

QWidget *TallyWindow::buildFilters()
{
    auto *group = new QGroupBox(QStringLiteral("条件"));
    auto *grid = new QGridLayout(group);
    // The calendar opens at the journal's latest race.
    const auto latestRace
        = [this] { return latestRaceDateOf(folder_.file(kJournalFile)).value_or(QDate::currentDate()); };
    from_ = new DateBox(latestRace);
    to_ = new DateBox(latestRace);
    from_->setObjectName(QStringLiteral("from"));
    to_->setObjectName(QStringLiteral("to"));
    site_ = choiceBox({QStringLiteral("すべて"), QStringLiteral("サイト1"), QStringLiteral("サイト2")});
    QStringList courses = {QStringLiteral("すべて")};
    for (int c = 1; c <= kCourseCount; ++c)
        courses << courseNames()[size_t(c)];
    course_ = choiceBox(courses);
    surface_ = choiceBox({QStringLiteral("すべて"), QStringLiteral("芝"), QStringLiteral("ダ")});
    distanceLow_ = boundBox(kTallyMaxDistance, 100);
    distanceHigh_ = boundBox(kTallyMaxDistance, 100);
    runnersLow_ = boundBox(kTallyMaxRunners, 1);
    runnersHigh_ = boundBox(kTallyMaxRunners, 1);
    QStringList tables;
    for (const TallyByChoice &choice : tallyByChoices())
        tables << choice.caption;
    by_ = choiceBox(tables);
    QStringList groups;
    for (const TallyGroupChoice &choice : tallyGroupChoices())
        groups << choice.caption;
    group_ = choiceBox(groups);
    auto *run = new QPushButton(QStringLiteral("集計"));
    run->setObjectName(QStringLiteral("tally"));
    run->setDefault(true);
    run_ = run;

    const auto range = [](QWidget *low, QWidget *high) {
        auto *box = new QWidget;
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(low);
        row->addWidget(new QLabel(QStringLiteral("〜")));
        row->addWidget(high);
        row->addStretch();
        return box;
    };
    const std::pair<QString, QWidget *> cells[] = {{QStringLiteral("期間"), range(from_, to_)},
        {QStringLiteral("サイト"), site_}, {QStringLiteral("競馬場"), course_},
        {QStringLiteral("芝・ダ"), surface_}, {QStringLiteral("距離(m)"), range(distanceLow_, distanceHigh_)},
        {QStringLiteral("頭数"), range(runnersLow_, runnersHigh_)}, {QStringLiteral("表"), by_},
        {QStringLiteral("グループ"), group_}};
    // Two rows of captions over their controls.
    int at = 0;
    for (const auto &[caption, control] : cells) {
        const int row = at < 4 ? 0 : 2;
        const int col = at < 4 ? at : at - 4;
        grid->addWidget(new QLabel(caption), row, col);
        grid->addWidget(control, row + 1, col);
        ++at;
    }
    grid->addWidget(run, 3, 4);
    grid->setColumnStretch(5, 1);
    connect(run, &QPushButton::clicked, this, &TallyWindow::tally);
    // Tab walks the filters in reading order, then 集計.
    const QList<QWidget *> order = {from_->edit(), to_->edit(), site_, course_, surface_, distanceLow_,
        distanceHigh_, runnersLow_, runnersHigh_, by_, group_, run};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    return group;
}

TallyForm TallyWindow::form() const
{
    TallyForm form;
    form.from = from_->value().date;
    form.to = to_->value().date;
    form.site = site_->currentIndex();
    form.course = course_->currentIndex();
    form.surface = surface_->currentIndex();
    form.distanceLow = distanceLow_->value();
    form.distanceHigh = distanceHigh_->value();
    form.runnersLow = runnersLow_->value();
    form.runnersHigh = runnersHigh_->value();
    form.by = by_->currentIndex();
    form.group = group_->currentIndex();
    return form;
}

void TallyWindow::showRange(const QDate &from, const QDate &to, ReadingSite site)
{
    from_->setDate(from);
    to_->setDate(to);
    site_->setCurrentIndex(site == ReadingSite::Two ? 2 : site == ReadingSite::One ? 1 : 0);
    tally();
}

void TallyWindow::setForm(const TallyForm &form)
{
    from_->setDate(form.from);
    to_->setDate(form.to);
    site_->setCurrentIndex(form.site);
    course_->setCurrentIndex(form.course);
    surface_->setCurrentIndex(form.surface);
    distanceLow_->setValue(form.distanceLow);
    distanceHigh_->setValue(form.distanceHigh);
    runnersLow_->setValue(form.runnersLow);
    runnersHigh_->setValue(form.runnersHigh);
    by_->setCurrentIndex(form.by);
    group_->setCurrentIndex(form.group);
}

TallyWindow::~TallyWindow()
{
    // The tally reads its own copy of the request and its own connection: it
    // is only waited for.
    if (worker_)
        worker_->wait();
}

void TallyWindow::tally()
{
    if (worker_) {
        again_ = true;
        return;
    }
    for (const DateBox *box : {from_, to_}) {
        if (!box->value().valid) {
            messages_.message(
                QStringLiteral("期間の日付が読めません: %1（2026-11-29 のように入力してください）")
                    .arg(box->edit()->text()));
            return;
        }
    }
    TallyRequest request = tallyRequestOf(form());
    request.layout.preferredSite = preferredSite_;
    const QString path = folder_.file(kJournalFile);
    auto made = std::make_shared<TallyView>();
    worker_ = QThread::create([path, request, made] { *made = tallyViewOf(path, request); });
    connect(worker_, &QThread::finished, this, [this, made] {
        worker_->deleteLater();
        worker_ = nullptr;
        finished(std::move(*made));
    });
    run_->setEnabled(false);
    conditions_->setText(QStringLiteral("集計しています…"));
    worker_->start();
}

void TallyWindow::finished(TallyView view)
{
    run_->setEnabled(true);
    if (again_) {
        again_ = false;
        tally();
        return;
    }
    // The grids show view_'s cells: they go before it is replaced.
    delete tables_->takeWidget();
    view_ = std::move(view);
    showView();
    if (!view_.status.ok())
        messages_.message(view_.status.message());
    Q_EMIT tallied();
}

void TallyWindow::showView()
{
    headline_->setText(view_.headline);
    headline_->setVisible(!view_.headline.isEmpty());
    conditions_->setText(view_.conditions);
    footer_->setText(view_.footer);
    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    for (const TallyTableView &table : view_.tables) {
        auto *caption = new QLabel(table.caption);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        column->addWidget(caption);
        auto *pair = new QHBoxLayout;
        auto *grid = new CellGridView(table.grid);
        fitToCells(grid);
        pair->addWidget(grid, 0, Qt::AlignTop);
        pair->addWidget(new ChartView(table.chartSvg), 0, Qt::AlignTop);
        pair->addStretch();
        column->addLayout(pair);
        if (!table.favourite.isEmpty())
            column->addWidget(new QLabel(table.favourite));
        column->addSpacing(8);
    }
    column->addStretch();
    tables_->setWidget(content);
}

}  // namespace marunoki::gui
