#include "gui/picture_box.h"

#include "view/painter_draw_box.h"
#include "view/recorded_drawing.h"

#include <QMouseEvent>
#include <QPainter>

namespace marunoki::gui {

PictureBox::PictureBox(const RecordedDrawing &drawing, QWidget *parent)
    : QWidget(parent)
    , drawing_(drawing)
{
    refresh();
}

void PictureBox::refresh()
{
    setFixedSize(screenPixels(drawing_.width()), screenPixels(drawing_.height()));
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), palette().window());
    paintDrawing(drawing_, painter, QRectF(rect()));
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
    QWidget::mousePressEvent(event);
}

}  // namespace marunoki::gui
