// NOTES ON THE DESIGN
// - One painter draws the whole grid. Backgrounds of neighbouring cells in a row
//   that share a colour are filled as one rectangle; a table of 1440 cells has
//   few colour changes per row.
// - Fonts are made once per (size, weight) for one rendering, and the painter's
//   pen changes only when the next cell needs another colour; empty cells draw no
//   text at all.
// - A cell's text is one line and never wraps, so it needs no text layout: its
//   glyphs are looked up in the font file directly (QRawFont) and drawn as one
//   glyph run at the baseline, the width known from the glyph advances. Grid
//   texts are Japanese and digits, which have no ligatures or kerning to lose.
//   A text with a character the face lacks, or a bold face the font only
//   synthesises, goes through QPainter::drawText, which finds fallback fonts and
//   emboldens.
// - Text that fits its cell is drawn without a clip; wider text is clipped to the
//   cell, as the grid control clips it, or (on paper, where nothing scrolls into
//   view) narrowed to the cell's width, so that a weight at a line's end stays
//   on the page.
// - Sizes are in the painter's coordinates: one point is 20 twips of the grid at
//   every scale.

#include "view/grid_render.h"

#include "app/format.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QRawFont>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <vector>

namespace marunoki {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerPoint = 20;
constexpr double kTextMarginTwips = 30;  // blank between a cell's edge and its text
const QColor kGridLineColour(0xC0, 0xC0, 0xC0);
constexpr double kMaxImageSide = std::numeric_limits<int>::max();

// The grid's face first, then Japanese gothic faces that stand in for it.
QStringList fontFamilies(const QString &face)
{
    return {face, QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
        QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic"),
        QStringLiteral("Droid Sans Fallback")};
}

struct CellFont {
    double points;
    bool bold;
    QFont font;
    QFontMetricsF metrics;
    QRawFont raw;  // invalid when only drawText can render this font faithfully
};

// The fonts of one rendering, one per size and weight met. Entries never move
// (a deque), so a reference to one stays good for the whole rendering.
class FontCache {
public:
    FontCache(const CellGrid &grid, double unitsPerTwip, QPaintDevice *device)
        : families_(fontFamilies(grid.fontName))
        , unitsPerTwip_(unitsPerTwip)
        , device_(device)
    {
        const int dpi = device ? device->logicalDpiY() : 0;
        deviceDpi_ = dpi > 0 ? dpi : 96;
    }

    const CellFont &font(double points, bool bold)
    {
        for (const CellFont &e : entries_) {
            if (e.points == points && e.bold == bold) {
                return e;
            }
        }
        const double pixels = std::max(points * kTwipsPerPoint * unitsPerTwip_, 0.1);
        QFont font;
        font.setFamilies(families_);
        font.setStyleHint(QFont::SansSerif);
        font.setPointSizeF(pixels * 72.0 / deviceDpi_);
        font.setBold(bold);
        QRawFont raw = QRawFont::fromFont(font);
        if (raw.isValid()) {
            raw.setPixelSize(pixels);
        }
        if (bold && raw.weight() < QFont::DemiBold) {
            raw = QRawFont();  // bold synthesised from a regular face
        }
        entries_.push_back({points, bold, font, QFontMetricsF(font, device_), raw});
        return entries_.back();
    }

private:
    QStringList families_;
    double unitsPerTwip_;
    QPaintDevice *device_;
    int deviceDpi_;
    std::deque<CellFont> entries_;
};

// One cell's text with its width, ready to draw at a baseline origin.
class ShapedText {
public:
    ShapedText(const CellFont &font, const QString &text)
        : font_(font)
        , text_(text)
    {
        if (font.raw.isValid()) {
            const QList<quint32> glyphs = font.raw.glyphIndexesForString(text);
            if (!glyphs.contains(0u)) {
                const QList<QPointF> advances = font.raw.advancesForGlyphIndexes(glyphs);
                QList<QPointF> positions;
                positions.reserve(glyphs.size());
                QPointF pen;
                for (const QPointF &advance : advances) {
                    positions.append(pen);
                    pen += advance;
                }
                run_.setRawFont(font.raw);
                run_.setGlyphIndexes(glyphs);
                run_.setPositions(positions);
                width_ = pen.x();
                glyphs_ = true;
                return;
            }
        }
        width_ = font.metrics.horizontalAdvance(text);
    }

    double width() const { return width_; }

    void draw(QPainter &painter, const QPointF &baseline) const
    {
        if (glyphs_) {
            painter.drawGlyphRun(baseline, run_);
        } else {
            painter.setFont(font_.font);
            painter.drawText(baseline, text_);
        }
    }

private:
    const CellFont &font_;
    const QString &text_;
    QGlyphRun run_;
    double width_ = 0;
    bool glyphs_ = false;
};

// Column edges in painter coordinates: edges[c] is the left of column c.
std::vector<double> columnEdges(const CellGrid &grid, double left, double unitsPerTwip)
{
    std::vector<double> edges(static_cast<size_t>(grid.cols()) + 1, left);
    for (int c = 0; c < grid.cols(); ++c) {
        edges[static_cast<size_t>(c) + 1] = edges[static_cast<size_t>(c)] + grid.colWidth(c) * unitsPerTwip;
    }
    return edges;
}

void fillBackgrounds(const CellGrid &grid, QPainter &painter, const std::vector<double> &edges, int row,
    double top, double height)
{
    int c = 0;
    while (c < grid.cols()) {
        const QColor &colour = grid.at(row, c)->background;
        int end = c + 1;
        while (end < grid.cols() && grid.at(row, end)->background == colour) {
            ++end;
        }
        painter.fillRect(QRectF(edges[static_cast<size_t>(c)], top,
                             edges[static_cast<size_t>(end)] - edges[static_cast<size_t>(c)], height),
            colour);
        c = end;
    }
}

}  // namespace

void renderGrid(
    const CellGrid &grid, QPainter &painter, const QPointF &origin, double unitsPerTwip, Overflow overflow)
{
    const int rows = grid.rows();
    const int cols = grid.cols();
    if (rows == 0 || cols == 0 || !(unitsPerTwip > 0)) {
        return;
    }
    const std::vector<double> edges = columnEdges(grid, origin.x(), unitsPerTwip);
    const double rowHeight = CellGrid::kRowHeight * unitsPerTwip;
    int firstRow = 0;
    int endRow = rows;
    if (painter.hasClipping()) {
        const QRectF clip = painter.clipBoundingRect();
        firstRow = std::clamp(static_cast<int>(std::floor((clip.top() - origin.y()) / rowHeight)), 0, rows);
        endRow = std::clamp(
            static_cast<int>(std::ceil((clip.bottom() - origin.y()) / rowHeight)), firstRow, rows);
    }

    painter.save();
    painter.setPen(Qt::NoPen);
    for (int r = firstRow; r < endRow; ++r) {
        fillBackgrounds(grid, painter, edges, r, origin.y() + r * rowHeight, rowHeight);
    }

    FontCache fonts(grid, unitsPerTwip, painter.device());
    const double margin = kTextMarginTwips * unitsPerTwip;
    QColor pen;
    bool penSet = false;
    for (int r = firstRow; r < endRow; ++r) {
        const double top = origin.y() + r * rowHeight;
        for (int c = 0; c < cols; ++c) {
            const GridCell &cell = *grid.at(r, c);
            if (cell.text.isEmpty()) {
                continue;
            }
            if (!penSet || cell.foreground != pen) {
                painter.setPen(cell.foreground);
                pen = cell.foreground;
                penSet = true;
            }
            const CellFont &font
                = fonts.font(cell.fontSize > 0 ? cell.fontSize : grid.baseFontSize, cell.bold);
            const ShapedText text(font, cell.text);
            const double left = edges[static_cast<size_t>(c)];
            const double right = edges[static_cast<size_t>(c) + 1];
            const bool fits = text.width() <= right - left - 2 * margin;
            const double x = fits && alignsRight(cell) ? right - margin - text.width() : left + margin;
            const QPointF baseline(x, top + (rowHeight - font.metrics.height()) / 2 + font.metrics.ascent());
            if (fits) {
                text.draw(painter, baseline);
            } else if (overflow == Overflow::Narrow) {
                painter.save();
                painter.translate(baseline);
                painter.scale((right - left - 2 * margin) / text.width(), 1);
                text.draw(painter, QPointF(0, 0));
                painter.restore();
            } else {
                painter.save();
                painter.setClipRect(QRectF(left, top, right - left, rowHeight), Qt::IntersectClip);
                text.draw(painter, baseline);
                painter.restore();
            }
        }
    }

    if (grid.gridLines) {
        painter.setPen(QPen(kGridLineColour, 0));
        const double bottom = origin.y() + rows * rowHeight;
        for (double x : edges) {
            painter.drawLine(QPointF(x, origin.y()), QPointF(x, bottom));
        }
        for (int r = 0; r <= rows; ++r) {
            const double y = origin.y() + r * rowHeight;
            painter.drawLine(QPointF(edges.front(), y), QPointF(edges.back(), y));
        }
    }
    painter.restore();
}

QSize gridImageSize(const CellGrid &grid, int dpi)
{
    if (dpi < 1 || grid.rows() == 0 || grid.cols() == 0) {
        return {};
    }
    const double scale = dpi / kTwipsPerInch;
    const double width = std::ceil(grid.totalWidth() * scale);
    const double height = std::ceil(static_cast<double>(grid.rows()) * CellGrid::kRowHeight * scale);
    // No image has more pixels a side than a whole number holds.
    if (!(width >= 1 && height >= 1 && width <= kMaxImageSide && height <= kMaxImageSide)) {
        return {};
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

QImage gridImage(const CellGrid &grid, int dpi)
{
    const QSize size = gridImageSize(grid, dpi);
    if (size.isEmpty()) {
        return {};
    }
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};  // too large to allocate
    }
    const int dotsPerMeter = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderGrid(grid, painter, QPointF(0, 0), dpi / kTwipsPerInch);
    return image;
}

bool alignsRight(const GridCell &cell)
{
    return cell.align == CellAlign::Right || (cell.align == CellAlign::General && isNumeric(cell.text));
}

}  // namespace marunoki
