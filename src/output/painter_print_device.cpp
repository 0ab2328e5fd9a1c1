#include "output/painter_print_device.h"

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

PainterPrintDevice::PainterPrintDevice(QPagedPaintDevice &device)
    : provider_([&device](int) { return &device; })
{ }

std::unique_ptr<PainterPrintDevice> PainterPrintDevice::pagesOf(QPagedPaintDevice &device)
{
    auto pages = std::make_unique<PainterPrintDevice>(device);
    pages->onePainting_ = true;
    return pages;
}

PainterPrintDevice::PainterPrintDevice(DeviceProvider provider)
    : provider_(std::move(provider))
{ }

PainterPrintDevice::~PainterPrintDevice()
{
    if (painter_.isActive())
        painter_.end();
}

PrintStatus PainterPrintDevice::begin(PageOrientation orientation)
{
    if (pageStarted_ || (painter_.isActive() && !onePainting_))
        return PrintStatus::failure(QStringLiteral("a document is already open"));
    QPagedPaintDevice *device = provider_ ? provider_(documents_) : nullptr;
    ++documents_;
    if (device == nullptr)
        return PrintStatus::failure(QStringLiteral("no printer"));

    const auto qtOrientation
        = orientation == PageOrientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (!device->setPageSize(QPageSize(QPageSize::A4)) || !device->setPageOrientation(qtOrientation))
        return PrintStatus::failure(QStringLiteral("the printer takes no A4 page"));
    if (painter_.isActive()) {
        // One painting: the next document is the next page.
        if (!device->newPage())
            return PrintStatus::failure(QStringLiteral("the printer cannot be opened"));
        painter_.resetTransform();
    } else if (!painter_.begin(device)) {
        return PrintStatus::failure(QStringLiteral("the printer cannot be opened"));
    }
    pageStarted_ = onePainting_;

    // From here on the painter works in twips from the printable area's corner.
    painter_.scale(device->logicalDpiX() / kTwipsPerInch, device->logicalDpiY() / kTwipsPerInch);
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    return PrintStatus::success();
}

void PainterPrintDevice::drawPicture(const RecordedDrawing &picture, const QRectF &target)
{
    if (!painter_.isActive())
        return;
    painter_.save();
    // The picture alone: a box's frame belongs to the window, not to its picture.
    paintDrawing(picture, painter_, target, BoxFrame::Omitted);
    painter_.restore();
}

void PainterPrintDevice::drawImage(const QImage &image, const QRectF &target)
{
    if (!painter_.isActive() || image.isNull())
        return;
    painter_.drawImage(target, image);
}

void PainterPrintDevice::text(double x, double y, const QString &text, double points)
{
    if (!painter_.isActive() || points <= 0)
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

PrintStatus PainterPrintDevice::end()
{
    if (!painter_.isActive() || (onePainting_ && !pageStarted_))
        return PrintStatus::failure(QStringLiteral("no document is open"));
    if (onePainting_) {
        pageStarted_ = false;
        return PrintStatus::success();
    }
    if (!painter_.end())
        return PrintStatus::failure(QStringLiteral("the page could not be sent"));
    return PrintStatus::success();
}

}  // namespace marunoki
