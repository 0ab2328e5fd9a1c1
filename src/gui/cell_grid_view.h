#pragma once
// A grid control on the screen: a table view over a CellGrid of the window's view
// models, showing each cell's text, colours, bold, size and alignment at the
// grid's column widths (15 twips to the pixel). Call refresh() after the grid
// changed; it also takes the grid's visibility.

#include <QAbstractTableModel>
#include <QTableView>

namespace marunoki {
class CellGrid;
}

namespace marunoki::gui {

class CellGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CellGridModel(const CellGrid &grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The grid changed: everything is read again.
    void reload();

private:
    const CellGrid &grid_;
    // The installed face for the grid's font name, looked up at each reload.
    // The grid's font name and the family installed for it: looking a family
    // up asks the font configuration for every candidate, so it is done again
    // only when the grid names another font.
    QString fontName_;
    QString family_;
};

class CellGridView : public QTableView {
    Q_OBJECT
public:
    explicit CellGridView(const CellGrid &grid, QWidget *parent = nullptr);

    void refresh();

Q_SIGNALS:
    // A click on a cell of this row.
    void rowClicked(int row);

private:
    const CellGrid &grid_;
    CellGridModel *model_;
};

}  // namespace marunoki::gui
