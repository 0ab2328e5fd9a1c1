#include "gui/mark_panel.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace marunoki::gui {

namespace {

constexpr int kRunnerRole = Qt::UserRole;

}  // namespace

MarkPanel::MarkPanel(QWidget *parent)
    : QWidget(parent)
    , note_(new QLabel)
    , list_(new QTreeWidget)
{
    setObjectName(QStringLiteral("markPanel"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto *caption = new QLabel(QStringLiteral("印　(クリックでグラフ移動)"));
    caption->setWordWrap(true);
    column->addWidget(caption);
    note_->setWordWrap(true);
    note_->setObjectName(QStringLiteral("markNote"));
    column->addWidget(note_);
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("馬番"), QStringLiteral("印"), QStringLiteral("馬名")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->header()->setStretchLastSection(true);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // A few rows at least, and no more room than seven marked horses need: the
    // head-to-head grid below keeps the rest.
    const int row = list_->fontMetrics().height() + 6;
    list_->setMinimumHeight(row * 4);
    list_->setMaximumHeight(row * 8 + 2 * list_->frameWidth());
    column->addWidget(list_, 1);
    connect(list_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (const qint32 runner = item->data(0, kRunnerRole).toInt(); runner > 0)
            Q_EMIT runnerChosen(runner);
    });
}

void MarkPanel::setRows(const std::vector<MarkRow> &rows, const QString &note)
{
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    list_->clear();
    for (const MarkRow &row : rows) {
        auto *item = new QTreeWidgetItem(list_);
        item->setText(0, QStringLiteral("%1").arg(row.number, 2, 10, QLatin1Char('0')));
        item->setText(1, markSymbol(row.mark));
        // A horse no longer on the card keeps its mark, shown apart.
        item->setText(2, row.runner > 0 ? row.name : QStringLiteral("%1（出走表になし）").arg(row.name));
        item->setData(0, kRunnerRole, row.runner);
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(1, Qt::AlignCenter);
        if (row.runner == 0) {
            for (int c = 0; c < 3; ++c)
                item->setForeground(c, palette().color(QPalette::Disabled, QPalette::Text));
        }
    }
}

QLabel *markLabel()
{
    auto *label = new QLabel;
    label->setObjectName(QStringLiteral("mark"));
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    label->setFont(font);
    int widest = 0;
    for (int i = 0; i < kMarkCount; ++i)
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(markSymbol(Mark(i))));
    label->setMinimumWidth(widest + 8);
    return label;
}

}  // namespace marunoki::gui
