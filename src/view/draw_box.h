#pragma once
// A drawing box: the surface the graphs draw on, in twips (1/1440 inch) with the
// origin at the top left and y growing downwards. It offers what the graph code
// needs and nothing more: lines, rectangle outlines, filled rectangles, circles
// and text at a position, with a pen width in whole pixels, a line style and a
// fill style for circles.
//
// The pen state (width, line style, fill style and colour) lives in the box and
// stays as the last caller set it, so every drawing step sets what it needs.
// Each primitive uses the state current when it is called.
//
// Two back ends implement it: RecordedDrawing keeps the primitives as a list
// (the retained picture the window repaints and the printer scales, and what the
// tests inspect), PainterDrawBox draws straight onto a QPainter.

#include <QColor>
#include <QString>

#include <cmath>

namespace marunoki {

enum class LineStyle { Solid, Dot, DashDot };
enum class FillStyle { Transparent, Solid };

// Pixels of a screen at 96 dots per inch: the unit of the pen width.
constexpr double kTwipsPerPixel = 15.0;

// Whole screen pixels of a length in twips, as the window lays out its boxes.
inline int screenPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

struct PenState {
    int drawWidth = 1;  // whole pixels, at least 1
    LineStyle drawStyle = LineStyle::Solid;
    FillStyle fillStyle = FillStyle::Transparent;
    QColor fillColor = QColor(0, 0, 0);
};

class DrawBox {
public:
    virtual ~DrawBox() = default;

    // Outer size of the box in twips.
    double width() const { return width_; }
    double height() const { return height_; }
    virtual void setSize(double widthTwips, double heightTwips)
    {
        width_ = widthTwips;
        height_ = heightTwips;
    }

    // Box decoration, used by the legend: background, a fixed single border,
    // whether the box is shown at all.
    QColor background() const { return background_; }
    void setBackground(const QColor &colour) { background_ = colour; }
    bool border() const { return border_; }
    void setBorder(bool on) { border_ = on; }
    bool isVisible() const { return visible_; }
    void setVisible(bool on) { visible_ = on; }

    const PenState &pen() const { return pen_; }
    void setDrawWidth(int pixels) { pen_.drawWidth = pixels < 1 ? 1 : pixels; }
    void setDrawStyle(LineStyle style) { pen_.drawStyle = style; }
    void setFillStyle(FillStyle style) { pen_.fillStyle = style; }
    void setFillColor(const QColor &colour) { pen_.fillColor = colour; }

    // Erases everything drawn; size, decoration and pen state stay.
    virtual void clear() = 0;
    // A plain line from (x1, y1) to (x2, y2).
    virtual void line(double x1, double y1, double x2, double y2, const QColor &colour) = 0;
    // The outline of the rectangle with corners (x1, y1) and (x2, y2).
    virtual void box(double x1, double y1, double x2, double y2, const QColor &colour) = 0;
    // The same rectangle filled in the pen colour.
    virtual void filledBox(double x1, double y1, double x2, double y2, const QColor &colour) = 0;
    // A circle with the given outline; filled with the fill colour when the fill
    // style is Solid, else transparent inside.
    virtual void circle(double cx, double cy, double radius, const QColor &outline) = 0;
    // Text with its top-left corner at (x, y), in the named face at the given size
    // in points, in black.
    virtual void text(double x, double y, const QString &text, double points, const QString &fontName) = 0;

protected:
    PenState pen_;

private:
    double width_ = 0;
    double height_ = 0;
    QColor background_ = QColor(255, 255, 255);
    bool border_ = false;
    bool visible_ = true;
};

}  // namespace marunoki
