#pragma once
// A row of widgets that goes on in a second line when the window is too narrow
// for it (a netbook's 1024 px), each widget at its size hint, top-aligned.

#include <QLayout>
#include <QList>

namespace marunoki::gui {

class WrappingRow : public QLayout {
public:
    explicit WrappingRow(QWidget *parent = nullptr, int spacing = 6);
    ~WrappingRow() override;

    void addItem(QLayoutItem *item) override;
    int count() const override { return int(items_.size()); }
    QLayoutItem *itemAt(int index) const override { return items_.value(index); }
    QLayoutItem *takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return arrange(QRect(0, 0, width, 0), false); }
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

private:
    // Places the items in rect (only measures when place is false); the height used.
    int arrange(const QRect &rect, bool place) const;

    QList<QLayoutItem *> items_;
    int gap_;
};

}  // namespace marunoki::gui
