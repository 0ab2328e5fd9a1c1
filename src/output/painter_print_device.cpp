#include "output/painter_print_device.h"

#include "view/cell_grid.h"
#include "view/grid_render.h"
#include "view/painter_draw_box.h"
#include "view/recorded_drawing.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>

namespace marunoki {

namespace {

constexpr double kTwipsPerInch = 1440.0;

}  // namespace

QString documentFileName(const QString &path, int index)
{
    if (index <= 0)
        return path;
    const QString suffix = QFileInfo(path).suffix();
    const QString stem = suffix.isEmpty() ? path : path.left(path.size() - suffix.size() - 1);
    return stem + QStringLiteral("-%1").arg(index + 1) + (suffix.isEmpty() ? QString() : u'.' + suffix);
}

PainterPrintDevice::PainterPrintDevice(QPagedPaintDevice &device, Pages pages)
    : provider_([&device](int) { return &device; })
    , pages_(pages)
{ }

PainterPrintDevice::PainterPrintDevice(DeviceProvider provider)
    : provider_(std::move(provider))
{ }

PainterPrintDevice::~PainterPrintDevice()
{
    if (painter_.isActive())
        painter_.end();
}

Status PainterPrintDevice::begin(PageOrientation orientation)
{
    if (pageOpen_)
        return Status::failure(QStringLiteral("前の印刷がまだ終わっていません"));
    const auto qtOrientation
        = orientation == PageOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;

    // A later page of one file: the session goes on with a new page.
    if (oneFile_ != nullptr) {
        ++documents_;
        if (!oneFile_->setPageOrientation(qtOrientation) || !oneFile_->newPage())
            return Status::failure(QStringLiteral("このファイルにはこれ以上ページを足せません"));
        painter_.resetTransform();
        scaleToTwips(*oneFile_);
        pageOpen_ = true;
        return Status::success();
    }

    QPagedPaintDevice *device = provider_ ? provider_(documents_) : nullptr;
    ++documents_;
    if (device == nullptr)
        return Status::failure(QStringLiteral("プリンタがありません"));
    if (!device->setPageSize(QPageSize(QPageSize::A4)) || !device->setPageOrientation(qtOrientation))
        return Status::failure(QStringLiteral("プリンタが A4 の用紙を使えません"));
    if (!painter_.begin(device))
        return Status::failure(QStringLiteral("プリンタを開けません"));
    if (pages_ == Pages::OneFile)
        oneFile_ = device;

    scaleToTwips(*device);
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    pageOpen_ = true;
    return Status::success();
}

// From here on the painter works in twips from the printable area's corner.
void PainterPrintDevice::scaleToTwips(const QPagedPaintDevice &device)
{
    painter_.scale(device.logicalDpiX() / kTwipsPerInch, device.logicalDpiY() / kTwipsPerInch);
}

void PainterPrintDevice::drawPicture(const RecordedDrawing &picture, const QRectF &target)
{
    if (!pageOpen_)
        return;
    painter_.save();
    // The picture alone: a box's frame belongs to the window, not to its picture.
    paintDrawing(picture, painter_, target, BoxFrame::Omitted);
    painter_.restore();
}

void PainterPrintDevice::drawImage(const QImage &image, const QRectF &target)
{
    if (!pageOpen_ || image.isNull())
        return;
    painter_.drawImage(target, image);
}

void PainterPrintDevice::drawGrid(const CellGrid &grid, const QRectF &target)
{
    const double width = grid.totalWidth();
    const double height = double(grid.rows()) * CellGrid::kRowHeight;
    if (!pageOpen_ || width <= 0 || height <= 0)
        return;
    painter_.save();
    // The grid in its own twips, the painter shrinking or stretching them into
    // the target: the table keeps the proportions it is printed with.
    painter_.translate(target.topLeft());
    painter_.scale(target.width() / width, target.height() / height);
    renderGrid(grid, painter_, QPointF(0, 0), 1.0, Overflow::Narrow);
    painter_.restore();
}

void PainterPrintDevice::text(double x, double y, const QString &text, double points)
{
    if (!pageOpen_ || points <= 0)
        return;
    // Laid out in device pixels: a font size in points is the device's points,
    // and the twips scale would shrink it a second time.
    painter_.save();
    const QPointF corner = painter_.transform().map(QPointF(x, y));
    painter_.resetTransform();
    QFont font(gothicFamily(fontName));
    font.setPointSizeF(points);
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    const QFontMetricsF metrics(font, painter_.device());
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    double baseline = corner.y() + metrics.ascent();
    for (const QString &line : lines.split(u'\n')) {
        painter_.drawText(QPointF(corner.x(), baseline), line);
        baseline += metrics.lineSpacing();
    }
    painter_.restore();
}

Status PainterPrintDevice::end()
{
    if (!pageOpen_)
        return Status::failure(QStringLiteral("印刷が始まっていません"));
    pageOpen_ = false;
    if (oneFile_ != nullptr)
        return Status::success();  // the page stays in the file close() ends
    if (!painter_.end())
        return Status::failure(QStringLiteral("ページをプリンタに送れません"));
    return Status::success();
}

Status PainterPrintDevice::close()
{
    pageOpen_ = false;
    oneFile_ = nullptr;
    if (!painter_.isActive())
        return pages_ == Pages::OneFile ? Status::failure(QStringLiteral("印刷するページがありません"))
                                        : Status::success();
    if (!painter_.end())
        return Status::failure(QStringLiteral("ファイルを書き終えられません"));
    return Status::success();
}

}  // namespace marunoki
