#pragma once
// Drawing boxes on a QPainter: PainterDrawBox draws each primitive as it comes,
// and paintDrawing replays a retained RecordedDrawing into a rectangle of any
// painter (the window's picture widgets and the printer use only paintDrawing).
//
// Units: the box works in twips; painter coordinates are twips times the scale
// the caller gives (1/15 for a 96-dpi screen at full size), relative to the
// painter's current transformation. A pen width of n pixels is n screen pixels of
// 15 twips, scaled the same way, so a scaled picture keeps its proportions. Text
// sizes are in points of the box (20 twips each), scaled likewise.
//
// Robustness: primitives with coordinates that are not finite are skipped, and
// anything far outside the box (more than the box's own size away) is cut off
// before it reaches the painter, so a wild value cannot stall the rasteriser.

#include "view/draw_box.h"

#include <QFont>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;

namespace marunoki {

class RecordedDrawing;

// The face used for a text in `wanted`: the face itself when installed, else the
// first installed Japanese gothic face of the same kind (proportional for the
// "Ｐ" faces, fixed-pitch for the others), else `wanted` (the font system then
// picks its own substitute).
QString gothicFamily(const QString &wanted);

class PainterDrawBox : public DrawBox {
public:
    // Draws on `painter`, which must stay active for the box's life; the caller
    // sets the size (for clear() and the far-outside cut) and the render hints.
    PainterDrawBox(QPainter &painter, double unitsPerTwip);
    ~PainterDrawBox() override = default;
    PainterDrawBox(const PainterDrawBox &) = delete;
    PainterDrawBox &operator=(const PainterDrawBox &) = delete;

    // Fills the box's rectangle with its background colour.
    void clear() override;
    void line(double x1, double y1, double x2, double y2, const QColor &colour) override;
    void box(double x1, double y1, double x2, double y2, const QColor &colour) override;
    void filledBox(double x1, double y1, double x2, double y2, const QColor &colour) override;
    void circle(double cx, double cy, double radius, const QColor &outline) override;
    void text(double x, double y, const QString &text, double points, const QString &fontName) override;

protected:
    // A font in painter units and its ascent (the distance from the top of the
    // text to its baseline).
    struct TextFont {
        QString name;
        double points = 0;
        QFont font;
        double ascent = 0;
    };
    // The font of a text, set up once per face and size for the life of the box.
    virtual const TextFont &textFont(const QString &name, double points);
    // Sets up a font from nothing: face lookup with fallback, size for the
    // painter's device, metrics.
    TextFont makeTextFont(const QString &name, double points) const;

    QPainter &painter() { return painter_; }

private:
    void applyPen(const QColor &colour);
    void rect(double x1, double y1, double x2, double y2, const QColor &colour, bool filled);
    QRectF reach() const;

    QPainter &painter_;
    double scale_;
    std::vector<TextFont> fonts_;
};

// Whether a replayed box shows its border: the window shows a box with its
// frame; the printer copies only the picture inside it, as a box's picture holds
// what was drawn and not the frame around it.
enum class BoxFrame { AsSet, Omitted };

// Replays `drawing` into `target` (painter coordinates): its background, its
// border when it has one (and `frame` keeps it), then every primitive, scaled so
// the box fills the target (width and height scaled separately when their ratios
// differ) and clipped to it. Nothing is drawn for an invisible or empty drawing.
// The painter's state is restored afterwards.
void paintDrawing(const RecordedDrawing &drawing, QPainter &painter, const QRectF &target,
    BoxFrame frame = BoxFrame::AsSet);

}  // namespace marunoki
