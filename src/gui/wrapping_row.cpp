#include "gui/wrapping_row.h"

#include <QWidget>

#include <algorithm>

namespace marunoki::gui {

WrappingRow::WrappingRow(QWidget *parent, int spacing)
    : QLayout(parent)
    , gap_(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

WrappingRow::~WrappingRow()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void WrappingRow::addItem(QLayoutItem *item)
{
    items_.append(item);
}

QLayoutItem *WrappingRow::takeAt(int index)
{
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

QSize WrappingRow::minimumSize() const
{
    // As narrow as the widest item, whatever the lines.
    QSize size;
    for (const QLayoutItem *item : items_)
        size = size.expandedTo(item->minimumSize().expandedTo(item->sizeHint()));
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize WrappingRow::sizeHint() const
{
    // All on one line.
    int width = 0;
    int height = 0;
    for (const QLayoutItem *item : items_) {
        if (item->isEmpty())
            continue;
        width += item->sizeHint().width() + (width > 0 ? gap_ : 0);
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

void WrappingRow::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int WrappingRow::arrange(const QRect &rect, bool place) const
{
    const QRect inside = rect.marginsRemoved(contentsMargins());
    int x = inside.x();
    int y = inside.y();
    int lineHeight = 0;
    for (QLayoutItem *item : items_) {
        if (item->isEmpty())
            continue;
        const QSize size = item->sizeHint();
        if (x > inside.x() && x + size.width() > inside.right() + 1) {
            x = inside.x();
            y += lineHeight + gap_;
            lineHeight = 0;
        }
        if (place)
            item->setGeometry(QRect(QPoint(x, y), size));
        x += size.width() + gap_;
        lineHeight = std::max(lineHeight, size.height());
    }
    const QMargins margins = contentsMargins();
    return y + lineHeight - rect.y() + margins.bottom();
}

}  // namespace marunoki::gui
