#include "gui/cell_grid_view.h"

#include "view/cell_grid.h"
#include "view/draw_box.h"
#include "view/grid_render.h"
#include "view/painter_draw_box.h"

#include <QFont>
#include <QHeaderView>

namespace marunoki::gui {

CellGridModel::CellGridModel(const CellGrid &grid, QObject *parent)
    : QAbstractTableModel(parent)
    , grid_(grid)
    , fontName_(grid.fontName)
    , family_(gothicFamily(grid.fontName))
{ }

int CellGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : grid_.rows();
}

int CellGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : grid_.cols();
}

QVariant CellGridModel::data(const QModelIndex &index, int role) const
{
    const GridCell *cell = grid_.at(index.row(), index.column());
    if (cell == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cell->text;
    case Qt::BackgroundRole:
        return cell->background;
    case Qt::ForegroundRole:
        return cell->foreground;
    case Qt::FontRole: {
        QFont font(family_);
        font.setPointSizeF(cell->fontSize > 0 ? cell->fontSize : grid_.baseFontSize);
        font.setBold(cell->bold);
        return font;
    }
    case Qt::TextAlignmentRole:
        // General alignment: text to the left, numbers to the right.
        if (alignsRight(*cell))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

void CellGridModel::reload()
{
    beginResetModel();
    if (grid_.fontName != fontName_) {
        fontName_ = grid_.fontName;
        family_ = gothicFamily(fontName_);
    }
    endResetModel();
}

CellGridView::CellGridView(const CellGrid &grid, QWidget *parent)
    : QTableView(parent)
    , grid_(grid)
    , model_(new CellGridModel(grid, this))
{
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(screenPixels(CellGrid::kRowHeight));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(this, &QTableView::clicked, this,
        [this](const QModelIndex &index) { Q_EMIT rowClicked(index.row()); });
    refresh();
}

void CellGridView::refresh()
{
    model_->reload();
    for (int c = 0; c < grid_.cols(); ++c)
        setColumnWidth(c, screenPixels(grid_.colWidth(c)));
    setShowGrid(grid_.gridLines);
    setVisible(grid_.visible);
}

}  // namespace marunoki::gui
