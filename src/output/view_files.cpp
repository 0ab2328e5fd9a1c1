#include "output/view_files.h"

#include "app/atomic_file.h"
#include "output/hikaku_chart.h"
#include "output/painter_print_device.h"
#include "output/print_jobs.h"
#include "output/report_parts.h"
#include "view/grid_render.h"
#include "view/painter_draw_box.h"
#include "window/shown_runner.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace marunoki {

namespace {

constexpr double kTwipsPerInch = 1440;

// A print job into the bytes of one PDF file; false when a page did not print.
// The job's own "印刷できません" stays with the job: the caller names the file.
template <typename Job>
bool pdfOf(ViewContext &context, QByteArray &bytes, Job job)
{
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return false;
    RecordingSink jobMessages;
    ViewContext quiet {context.store, context.settings, context.tableCheck, context.views, jobMessages};
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Marunoki"));
    PainterPrintDevice printer(writer, PainterPrintDevice::Pages::OneFile);
    const bool printed = job(quiet, printer);
    return printer.close().ok() && printed;
}

Status pdfFailed(const QString &path)
{
    return Status::failure(QStringLiteral("%1 を作成できません（ページを描けませんでした）").arg(path));
}

// A picture of `twips` at kViewPictureDpi, white, painted by `paint` in pixels.
template <typename Paint>
QImage pictureOf(const QSizeF &twips, Paint paint)
{
    const double scale = kViewPictureDpi / kTwipsPerInch;
    const QSize pixels(int(std::ceil(twips.width() * scale)), int(std::ceil(twips.height() * scale)));
    if (pixels.isEmpty())
        return {};
    QImage image(pixels, QImage::Format_RGB32);
    const int dotsPerMetre = int(std::lround(kViewPictureDpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paint(painter, QRectF(0, 0, twips.width() * scale, twips.height() * scale));
    return image;
}

Status writePng(const QString &path, const QImage &image)
{
    const QByteArray bytes = pngBytes(image);
    if (bytes.isEmpty())
        return Status::failure(QStringLiteral("%1 を作成できません（画像を描けませんでした）").arg(path));
    return writeFileAtomically(path, bytes);
}

}  // namespace

Status makeFolder(const QString &dir)
{
    if (dir.isEmpty() || !QDir().mkpath(dir) || !QFileInfo(dir).isDir())
        return Status::failure(QStringLiteral("フォルダ %1 を作成できません").arg(dir));
    return Status::success();
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

QSizeF graphWithLegendTwips(const WindowViews &views)
{
    return QSizeF(views.graphBox.width() + views.legendBox.width(),
        std::max(views.graphBox.height(), views.legendBox.height()));
}

void paintGraphWithLegend(const WindowViews &views, QPainter &painter, const QRectF &target)
{
    const QSizeF whole = graphWithLegendTwips(views);
    if (whole.width() <= 0 || whole.height() <= 0)
        return;
    const double sx = target.width() / whole.width();
    const double sy = target.height() / whole.height();
    const QRectF graph(target.x(), target.y(), views.graphBox.width() * sx, views.graphBox.height() * sy);
    paintDrawing(views.graphBox, painter, graph);
    paintDrawing(views.legendBox, painter,
        QRectF(graph.right(), target.y(), views.legendBox.width() * sx, views.legendBox.height() * sy));
}

Status writeGraphsPdf(ViewContext &context, const QString &path)
{
    const ShownRunner keep(context);
    QByteArray bytes;
    const bool printed = pdfOf(context, bytes, [](ViewContext &job, PrintDevice &printer) {
        const qint32 fieldSize = job.store.fieldSize;
        bool ok = printGraphPage(job, printer, 1, kGraphsPerPage);
        if (fieldSize > kGraphsPerPage)
            ok = printGraphPage(job, printer, kGraphsPerPage + 1, fieldSize) && ok;
        return ok;
    });
    if (!printed)
        return pdfFailed(path);
    return writeFileAtomically(path, bytes);
}

Status writeTablePdf(ViewContext &context, const QString &path)
{
    const ShownRunner keep(context);
    QByteArray bytes;
    const bool printed = pdfOf(
        context, bytes, [](ViewContext &job, PrintDevice &printer) { return printBacyu(job, printer); });
    if (!printed)
        return pdfFailed(path);
    return writeFileAtomically(path, bytes);
}

Status writeViewPngs(ViewContext &context, const QString &dir)
{
    if (Status made = makeFolder(dir); !made.ok())
        return made;
    const ShownRunner keep(context);
    const QDir folder(dir);
    WindowViews &views = context.views;
    const RaceStore &store = context.store;

    for (const qint32 n : store.runners()) {
        views.shownRunner = n;
        showGraph(context);
        const QImage image
            = pictureOf(graphWithLegendTwips(views), [&views](QPainter &painter, const QRectF &target) {
                  paintGraphWithLegend(views, painter, target);
              });
        const QString name = QStringLiteral("graph-%1.png").arg(n, 2, 10, QLatin1Char('0'));
        if (Status written = writePng(folder.filePath(name), image); !written.ok())
            return written;
    }

    // The comparison graph as the report draws it: scaled to the figures, the
    // first runner thick.
    const QImage hikaku = hikakuChartImage(store, context.settings, 1, raceHeadingOf(store, views.raceInfo));
    if (Status written = writePng(folder.filePath(QStringLiteral("hikaku.png")), hikaku); !written.ok())
        return written;

    switchToBacyu(context);
    return writePng(
        folder.filePath(QStringLiteral("bacyu.png")), gridImage(views.bacyuGrid, kViewPictureDpi));
}

}  // namespace marunoki
