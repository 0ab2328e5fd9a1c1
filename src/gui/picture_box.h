#pragma once
// A picture box: shows a retained drawing at screen size (15 twips to the pixel)
// and reports clicks. The drawing belongs to the window's view models; call
// refresh() after it changed.

#include <QWidget>

namespace marunoki {
class RecordedDrawing;
}

namespace marunoki::gui {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const RecordedDrawing &drawing, QWidget *parent = nullptr);

    // Takes the drawing's size and visibility and repaints.
    void refresh();

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    const RecordedDrawing &drawing_;
};

}  // namespace marunoki::gui
