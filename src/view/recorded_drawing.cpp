#include "view/recorded_drawing.h"

namespace marunoki {

DrawPrimitive &RecordedDrawing::add(
    PrimitiveKind kind, double x1, double y1, double x2, double y2, const QColor &colour)
{
    DrawPrimitive &p = primitives_.emplace_back();
    p.kind = kind;
    p.x1 = x1;
    p.y1 = y1;
    p.x2 = x2;
    p.y2 = y2;
    p.colour = colour;
    p.pen = pen_;
    return p;
}

void RecordedDrawing::line(double x1, double y1, double x2, double y2, const QColor &colour)
{
    add(PrimitiveKind::Line, x1, y1, x2, y2, colour);
}

void RecordedDrawing::box(double x1, double y1, double x2, double y2, const QColor &colour)
{
    add(PrimitiveKind::Box, x1, y1, x2, y2, colour);
}

void RecordedDrawing::filledBox(double x1, double y1, double x2, double y2, const QColor &colour)
{
    add(PrimitiveKind::FilledBox, x1, y1, x2, y2, colour);
}

void RecordedDrawing::circle(double cx, double cy, double radius, const QColor &outline)
{
    add(PrimitiveKind::Circle, cx, cy, cx, cy, outline).radius = radius;
}

void RecordedDrawing::text(double x, double y, const QString &text, double points, const QString &fontName)
{
    DrawPrimitive &p = add(PrimitiveKind::Text, x, y, x, y, QColor(0, 0, 0));
    p.text = text;
    p.points = points;
    p.fontName = fontName;
}

void RecordedDrawing::replay(DrawBox &target) const
{
    for (const DrawPrimitive &p : primitives_) {
        target.setDrawWidth(p.pen.drawWidth);
        target.setDrawStyle(p.pen.drawStyle);
        target.setFillStyle(p.pen.fillStyle);
        target.setFillColor(p.pen.fillColor);
        switch (p.kind) {
        case PrimitiveKind::Line:
            target.line(p.x1, p.y1, p.x2, p.y2, p.colour);
            break;
        case PrimitiveKind::Box:
            target.box(p.x1, p.y1, p.x2, p.y2, p.colour);
            break;
        case PrimitiveKind::FilledBox:
            target.filledBox(p.x1, p.y1, p.x2, p.y2, p.colour);
            break;
        case PrimitiveKind::Circle:
            target.circle(p.x1, p.y1, p.radius, p.colour);
            break;
        case PrimitiveKind::Text:
            target.text(p.x1, p.y1, p.text, p.points, p.fontName);
            break;
        }
    }
}

}  // namespace marunoki
