#pragma once
// Printing on any paged paint device: a QPrinter in the desktop program, a
// QPdfWriter in the tests. Each document is one painting session on the device
// the provider hands out for it (a printer prints one job per document; a test
// may hand out a new PDF writer for each).
//
// Twips are mapped through the device's resolution, so the page keeps its
// proportions on any printer; text is laid out at the device's own resolution so
// that a 5 pt line is 5 pt on paper.

#include "output/print_device.h"

#include <QPainter>

#include <functional>
#include <memory>

class QPagedPaintDevice;

namespace marunoki {

// The file of document `index` (0 first) when a printer writes to files: the
// first keeps the name, later ones get "-2", "-3" ... before the suffix
// ("graph.pdf", "graph-2.pdf"), so the second page of graphs does not replace
// the first.
QString documentFileName(const QString &path, int index);

class PainterPrintDevice : public PrintDevice {
public:
    // The device for document `index` (0 for the first), or nullptr when there is
    // none (no printer); the device must outlive the document.
    using DeviceProvider = std::function<QPagedPaintDevice *(int index)>;

    // Every document on the same device.
    explicit PainterPrintDevice(QPagedPaintDevice &device);
    // Every document as the next page of one painting session on `device` (a
    // print preview shows them all; a new session would start the preview
    // afresh). The session ends with this object.
    static std::unique_ptr<PainterPrintDevice> pagesOf(QPagedPaintDevice &device);
    explicit PainterPrintDevice(DeviceProvider provider);
    // Ends a document left open.
    ~PainterPrintDevice() override;
    PainterPrintDevice(const PainterPrintDevice &) = delete;
    PainterPrintDevice &operator=(const PainterPrintDevice &) = delete;

    PrintStatus begin(PageOrientation orientation) override;
    void drawPicture(const RecordedDrawing &picture, const QRectF &target) override;
    void drawImage(const QImage &image, const QRectF &target) override;
    void text(double x, double y, const QString &text, double points) override;
    PrintStatus end() override;

    // Face of printed text; a Japanese gothic face takes its place when missing.
    QString fontName = QStringLiteral("ＭＳ Ｐゴシック");

private:
    DeviceProvider provider_;
    bool onePainting_ = false;
    bool pageStarted_ = false;
    QPainter painter_;
    int documents_ = 0;
};

}  // namespace marunoki
