#pragma once
// The graph box and its legend box side by side, drawn at the
// largest size the pane allows with the pair's aspect ratio kept: the drawings
// are vectors in twips, so a larger window shows a larger, sharper graph. A
// click on the graph (not on the legend) is reported. The drawings belong to the
// window's view models; call refresh() after they changed.

#include <QWidget>

namespace marunoki {
class RecordedDrawing;
}

namespace marunoki::gui {

class GraphPane : public QWidget {
    Q_OBJECT
public:
    GraphPane(const RecordedDrawing &graph, const RecordedDrawing &legend, QWidget *parent = nullptr);

    void refresh();

    // Where the graph and the legend are drawn at the pane's current size.
    QRectF graphRect() const;
    QRectF legendRect() const;

    // The design size (15 twips to the pixel).
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    // Pixels per twip at the current size.
    double scale() const;

    const RecordedDrawing &graph_;
    const RecordedDrawing &legend_;
};

}  // namespace marunoki::gui
