#pragma once
// Printing on any paged paint device: a QPrinter in the desktop program, a
// QPdfWriter in the tests. Each document is one painting session on the device
// the provider hands out for it (a printer prints one job per document; a test
// may hand out a new PDF writer for each).
//
// A device can also collect every document as the next page of one file
// (Pages::OneFile on a QPdfWriter): begin() of a later document starts a new
// page, end() finishes the page, and close() ends the file.
//
// Twips are mapped through the device's resolution, so the page keeps its
// proportions on any printer; text is laid out at the device's own resolution so
// that a 5 pt line is 5 pt on paper.

#include "output/print_device.h"

#include <QPainter>

#include <functional>

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

    // How documents on one device are kept: each its own painting session (a
    // printer job, a file), or each a page of one session that close() ends.
    enum class Pages { SessionPerDocument, OneFile };

    // Every document on the same device.
    explicit PainterPrintDevice(QPagedPaintDevice &device, Pages pages = Pages::SessionPerDocument);
    explicit PainterPrintDevice(DeviceProvider provider);
    // Ends a document left open.
    ~PainterPrintDevice() override;
    PainterPrintDevice(const PainterPrintDevice &) = delete;
    PainterPrintDevice &operator=(const PainterPrintDevice &) = delete;

    Status begin(PageOrientation orientation) override;
    void drawPicture(const RecordedDrawing &picture, const QRectF &target) override;
    void drawImage(const QImage &image, const QRectF &target) override;
    void drawGrid(const CellGrid &grid, const QRectF &target) override;
    void text(double x, double y, const QString &text, double points) override;
    Status end() override;
    // Pages::OneFile: ends the file after the last page (a document still open
    // is ended first). Fails when no page was begun or the file could not be
    // finished. Elsewhere it only ends a document left open.
    Status close();

    // Face of printed text; a Japanese gothic face takes its place when missing.
    QString fontName = QStringLiteral("ＭＳ Ｐゴシック");

private:
    void scaleToTwips(const QPagedPaintDevice &device);

    DeviceProvider provider_;
    Pages pages_ = Pages::SessionPerDocument;
    QPainter painter_;
    QPagedPaintDevice *oneFile_ = nullptr;  // Pages::OneFile: the device while its session runs
    bool pageOpen_ = false;
    int documents_ = 0;
};

}  // namespace marunoki
