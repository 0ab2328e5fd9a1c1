#pragma once
// A drawing box that keeps what is drawn on it as a list of primitives, each
// with the pen state it was drawn with. It is the retained picture of a graph:
// the window repaints it and the printer scales it (both through paintDrawing),
// and tests read the list to see what a drawing step produced.
//
// Copyable: a copy is an independent picture. Not thread-safe.

#include "view/draw_box.h"

#include <QColor>
#include <QString>

#include <vector>

namespace marunoki {

enum class PrimitiveKind { Line, Box, FilledBox, Circle, Text };

// One primitive in twips. Lines and boxes run from (x1, y1) to (x2, y2); a circle
// has its centre at (x1, y1) and its radius in `radius`; text has its top-left
// corner at (x1, y1).
struct DrawPrimitive {
    PrimitiveKind kind = PrimitiveKind::Line;
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    double radius = 0;
    QColor colour;  // line, outline or box colour; text is always black
    PenState pen;  // width, line style, fill style and fill colour at the time
    QString text;
    double points = 0;
    QString fontName;
};

class RecordedDrawing : public DrawBox {
public:
    // Forgets every primitive; size, decoration and pen state stay.
    void clear() override { primitives_.clear(); }
    void line(double x1, double y1, double x2, double y2, const QColor &colour) override;
    void box(double x1, double y1, double x2, double y2, const QColor &colour) override;
    void filledBox(double x1, double y1, double x2, double y2, const QColor &colour) override;
    void circle(double cx, double cy, double radius, const QColor &outline) override;
    void text(double x, double y, const QString &text, double points, const QString &fontName) override;

    // Everything drawn since the last clear, in drawing order.
    const std::vector<DrawPrimitive> &primitives() const { return primitives_; }

    // Draws every primitive again on another box, in order, each with its own pen
    // state. The target's pen state is left as the last primitive had it.
    void replay(DrawBox &target) const;

private:
    DrawPrimitive &add(PrimitiveKind kind, double x1, double y1, double x2, double y2, const QColor &colour);

    std::vector<DrawPrimitive> primitives_;
};

}  // namespace marunoki
