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
#include <QVBoxLayout>

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
    , conditions_(new QLabel)
    , footer_(new QLabel)
    , tables_(new QScrollArea)
{
    setWindowTitle(QStringLiteral("成績集計"));
    setObjectName(QStringLiteral("tallyWindow"));
    auto *column = new QVBoxLayout(this);
    column->addWidget(buildFilters());
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
    auto *run = new QPushButton(QStringLiteral("集計"));
    run->setObjectName(QStringLiteral("tally"));
    run->setDefault(true);

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
        {QStringLiteral("頭数"), range(runnersLow_, runnersHigh_)}, {QStringLiteral("表"), by_}};
    // Two rows of captions over their controls.
    int at = 0;
    for (const auto &[caption, control] : cells) {
        const int row = at < 4 ? 0 : 2;
        const int col = at < 4 ? at : at - 4;
        grid->addWidget(new QLabel(caption), row, col);
        grid->addWidget(control, row + 1, col);
        ++at;
    }
    grid->addWidget(run, 3, 3);
    grid->setColumnStretch(4, 1);
    connect(run, &QPushButton::clicked, this, &TallyWindow::tally);
    // Tab walks the filters in reading order, then 集計.
    const QList<QWidget *> order = {from_->edit(), to_->edit(), site_, course_, surface_, distanceLow_,
        distanceHigh_, runnersLow_, runnersHigh_, by_, run};
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
}

void TallyWindow::tally()
{
    for (const DateBox *box : {from_, to_}) {
        if (!box->value().valid) {
            messages_.message(
                QStringLiteral("期間の日付が読めません: %1（2026-11-29 のように入力してください）")
                    .arg(box->edit()->text()));
            return;
        }
    }
    // The grids show view_'s cells: they go before it is replaced.
    delete tables_->takeWidget();
    view_ = tallyViewOf(folder_.file(kJournalFile), tallyOptionsOf(form()));
    showView();
    if (!view_.status.ok())
        messages_.message(view_.status.message());
}

void TallyWindow::showView()
{
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
