#include "gui/graph_pane.h"

#include "view/draw_box.h"
#include "view/painter_draw_box.h"
#include "view/recorded_drawing.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace marunoki::gui {

namespace {

// Below this share of the design size the graph's text cannot be read.
constexpr double kSmallestShare = 0.45;

}  // namespace

GraphPane::GraphPane(const RecordedDrawing &graph, const RecordedDrawing &legend, QWidget *parent)
    : QWidget(parent)
    , graph_(graph)
    , legend_(legend)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The focus rests here after a load; the keys that move between runners
    // work from it as from everywhere in the window.
    setFocusPolicy(Qt::StrongFocus);
}

void GraphPane::refresh()
{
    updateGeometry();
    update();
}

QSize GraphPane::sizeHint() const
{
    return {screenPixels(graph_.width() + legend_.width()),
        screenPixels(std::max(graph_.height(), legend_.height()))};
}

QSize GraphPane::minimumSizeHint() const
{
    const QSize design = sizeHint();
    return {int(design.width() * kSmallestShare), int(design.height() * kSmallestShare)};
}

double GraphPane::scale() const
{
    const double width = graph_.width() + legend_.width();
    const double height = std::max(graph_.height(), legend_.height());
    if (width <= 0 || height <= 0)
        return 0;
    return std::min(this->width() / width, this->height() / height);
}

QRectF GraphPane::graphRect() const
{
    const double s = scale();
    return {0, 0, graph_.width() * s, graph_.height() * s};
}

QRectF GraphPane::legendRect() const
{
    const double s = scale();
    return {graph_.width() * s, 0, legend_.width() * s, legend_.height() * s};
}

void GraphPane::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(rect(), palette().window());
    paintDrawing(graph_, painter, graphRect());
    paintDrawing(legend_, painter, legendRect());
    if (hasFocus()) {
        QStyleOptionFocusRect ring;
        ring.initFrom(this);
        ring.rect = graphRect().toAlignedRect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &ring, &painter, this);
    }
}

void GraphPane::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && graphRect().contains(event->position()))
        Q_EMIT clicked();
    QWidget::mousePressEvent(event);
}

}  // namespace marunoki::gui
