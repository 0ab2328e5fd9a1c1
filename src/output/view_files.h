#pragma once
// The loaded race's views as files, for a user without a window: the two print
// jobs as PDF files, pictures of the graphs and the table, and the text views
// as JSON. Everything is drawn by the same code that fills the window (the
// WindowViews of the context) and printed by the same print jobs.
//
// Every file is written atomically: a failure leaves an existing file of that
// name as it was and comes back as a Status naming the file, in Japanese.
// Drawing moves the context's store through the runners; afterwards the runner
// that was shown (and the view it was shown in) is drawn again.

#include "app/status.h"
#include "window/window_views.h"

#include <QImage>
#include <QString>

class QPaintDevice;
class QPainter;

namespace marunoki {

// Resolution of the pictures: the graph box at about twice a screen's 72 dpi,
// comfortable to read on a screen.
constexpr int kViewPictureDpi = 144;

// The graph print job into one PDF file: every page of graphs (16 to an A4
// landscape page, runners 17 and 18 on a second page), each with the legend and
// the title line. The graphs stay vector drawing.
Status writeGraphsPdf(ViewContext &context, const QString &path);

// The table print job into one PDF file: one A4 portrait page, the table drawn
// as text and lines, with the title line.
Status writeTablePdf(ViewContext &context, const QString &path);

// PNG pictures in folder dir (made when missing): "graph-01.png" ... for every
// runner (the graph box with the legend beside it), "hikaku.png" (the comparison
// graph) and "bacyu.png" (the whole past-performance table).
Status writeViewPngs(ViewContext &context, const QString &dir);

// The graph box with the legend box beside it, painted into `target` (painter
// coordinates), in the proportions of the two boxes. For pictures and SVG files.
void paintGraphWithLegend(const WindowViews &views, QPainter &painter, const QRectF &target);
// Size in twips of the graph box with the legend beside it.
QSizeF graphWithLegendTwips(const WindowViews &views);

// Bytes of an image as a PNG file (empty when it could not be encoded).
QByteArray pngBytes(const QImage &image);

// Makes folder dir; a failure names it.
Status makeFolder(const QString &dir);

}  // namespace marunoki
