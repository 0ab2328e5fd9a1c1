#include "view/painter_draw_box.h"

#include "view/qb_color.h"
#include "view/recorded_drawing.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace marunoki {

namespace {

// One point is 20 twips.
constexpr double kTwipsPerPoint = 20.0;

bool finite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// Cuts the line from a to b to the rectangle (Liang-Barsky). False when nothing
// of it lies inside.
bool clipLine(QPointF &a, QPointF &b, const QRectF &r)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const QPointF start = a;
    a = QPointF(start.x() + t0 * dx, start.y() + t0 * dy);
    b = QPointF(start.x() + t1 * dx, start.y() + t1 * dy);
    return true;
}

Qt::PenStyle qtStyle(LineStyle style)
{
    switch (style) {
    case LineStyle::Dot:
        return Qt::DotLine;
    case LineStyle::DashDot:
        return Qt::DashDotLine;
    case LineStyle::Solid:
        break;
    }
    return Qt::SolidLine;
}

}  // namespace

QString gothicFamily(const QString &wanted)
{
    if (QFontDatabase::hasFamily(wanted))
        return wanted;
    static const char16_t *const proportional[] = {u"MS PGothic", u"IPAPGothic", u"IPA Pゴシック",
        u"Noto Sans CJK JP", u"Noto Sans JP", u"Source Han Sans JP", u"VL PGothic", u"TakaoPGothic",
        u"Yu Gothic", u"Meiryo", u"Hiragino Sans", u"Droid Sans Fallback"};
    static const char16_t *const fixedPitch[] = {
        u"MS Gothic", u"IPAGothic", u"IPAゴシック", u"Noto Sans Mono CJK JP", u"VL Gothic", u"TakaoGothic"};
    const bool wantsProportional = wanted.contains(u'Ｐ') || wanted.contains(QLatin1String("PGothic"));
    if (!wantsProportional) {
        for (const char16_t *name : fixedPitch) {
            const QString family = QString::fromUtf16(name);
            if (QFontDatabase::hasFamily(family))
                return family;
        }
    }
    for (const char16_t *name : proportional) {
        const QString family = QString::fromUtf16(name);
        if (QFontDatabase::hasFamily(family))
            return family;
    }
    return wanted;
}

PainterDrawBox::PainterDrawBox(QPainter &painter, double unitsPerTwip)
    : painter_(painter)
    , scale_(unitsPerTwip)
{ }

QRectF PainterDrawBox::reach() const
{
    // Anything farther than the box's own size from it can never show.
    const double w = std::max(width(), 1.0);
    const double h = std::max(height(), 1.0);
    return QRectF(-w, -h, 3 * w, 3 * h);
}

void PainterDrawBox::applyPen(const QColor &colour)
{
    const Qt::PenStyle style = qtStyle(pen_.drawStyle);
    // Round ends join the pieces of a polyline smoothly; patterned lines keep
    // flat ends, or their dots would run together.
    const Qt::PenCapStyle cap = style == Qt::SolidLine ? Qt::RoundCap : Qt::FlatCap;
    painter_.setPen(QPen(colour, pen_.drawWidth * kTwipsPerPixel * scale_, style, cap, Qt::RoundJoin));
}

void PainterDrawBox::clear()
{
    painter_.fillRect(QRectF(0, 0, width() * scale_, height() * scale_), background());
}

void PainterDrawBox::line(double x1, double y1, double x2, double y2, const QColor &colour)
{
    if (!finite({x1, y1, x2, y2}))
        return;
    QPointF a(x1, y1);
    QPointF b(x2, y2);
    if (!clipLine(a, b, reach()))
        return;
    applyPen(colour);
    painter_.drawLine(a * scale_, b * scale_);
}

void PainterDrawBox::rect(double x1, double y1, double x2, double y2, const QColor &colour, bool filled)
{
    if (!finite({x1, y1, x2, y2}))
        return;
    const QRectF rect = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized().intersected(reach());
    if (rect.isNull())
        return;
    applyPen(colour);
    if (filled)
        painter_.setBrush(colour);
    else
        painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(rect.topLeft() * scale_, rect.bottomRight() * scale_));
}

void PainterDrawBox::box(double x1, double y1, double x2, double y2, const QColor &colour)
{
    rect(x1, y1, x2, y2, colour, false);
}

void PainterDrawBox::filledBox(double x1, double y1, double x2, double y2, const QColor &colour)
{
    rect(x1, y1, x2, y2, colour, true);
}

void PainterDrawBox::circle(double cx, double cy, double radius, const QColor &outline)
{
    if (!finite({cx, cy, radius}) || radius < 0)
        return;
    if (!reach().contains(QPointF(cx, cy)))
        return;
    applyPen(outline);
    if (pen_.fillStyle == FillStyle::Solid)
        painter_.setBrush(pen_.fillColor);
    else
        painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(QPointF(cx, cy) * scale_, radius * scale_, radius * scale_);
}

void PainterDrawBox::text(double x, double y, const QString &text, double points, const QString &fontName)
{
    if (!finite({x, y, points}) || points <= 0 || text.isEmpty() || !reach().contains(QPointF(x, y)))
        return;
    const TextFont &font = textFont(fontName, points);
    painter_.setFont(font.font);
    painter_.setPen(windowTextColor());
    painter_.drawText(QPointF(x * scale_, y * scale_ + font.ascent), text);
}

const PainterDrawBox::TextFont &PainterDrawBox::textFont(const QString &name, double points)
{
    for (const TextFont &font : fonts_) {
        if (font.points == points && font.name == name)
            return font;
    }
    return fonts_.emplace_back(makeTextFont(name, points));
}

PainterDrawBox::TextFont PainterDrawBox::makeTextFont(const QString &name, double points) const
{
    TextFont made;
    made.name = name;
    made.points = points;
    made.font = QFont(gothicFamily(name));
    // The size in painter units, then in the device's own points.
    const double units = points * kTwipsPerPoint * scale_;
    const QPaintDevice *device = painter_.device();
    const int dpi = device ? device->logicalDpiY() : 96;
    made.font.setPointSizeF(std::max(units * 72.0 / (dpi > 0 ? dpi : 96), 0.1));
    made.ascent = device ? QFontMetricsF(made.font, device).ascent() : QFontMetricsF(made.font).ascent();
    return made;
}

void paintDrawing(const RecordedDrawing &drawing, QPainter &painter, const QRectF &target, BoxFrame frame)
{
    const double w = drawing.width();
    const double h = drawing.height();
    if (!drawing.isVisible() || !(w > 0) || !(h > 0) || !target.isValid())
        return;
    const double sx = target.width() / w;
    const double sy = target.height() / h;
    const double scale = std::min(sx, sy);
    if (!(scale > 0) || !std::isfinite(scale))
        return;

    painter.save();
    painter.translate(target.topLeft());
    painter.scale(sx / scale, sy / scale);
    painter.setClipRect(QRectF(0, 0, w * scale, h * scale), Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    PainterDrawBox box(painter, scale);
    box.setSize(w, h);
    box.setBackground(drawing.background());
    box.clear();
    if (drawing.border() && frame == BoxFrame::AsSet) {
        // A fixed single border: one screen pixel of window-text colour just inside the edge.
        const double edge = kTwipsPerPixel * scale;
        painter.setPen(QPen(windowTextColor(), edge, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(edge / 2, edge / 2, w * scale - edge, h * scale - edge));
    }
    drawing.replay(box);
    painter.restore();
}

}  // namespace marunoki
