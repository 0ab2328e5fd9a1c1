#pragma once
// A print device that keeps every call instead of printing: what the printing
// tests inspect. Documents can be told to fail at their start or at their end.

#include "output/print_device.h"

#include <QSize>

#include <functional>
#include <set>
#include <vector>

namespace marunoki {

struct PrintCall {
    enum class Kind { Begin, Picture, Image, Grid, Text, End };
    Kind kind = Kind::Begin;
    int document = 0;  // 0 for the first document begun
    PageOrientation orientation = PageOrientation::Portrait;  // Begin
    QRectF target;  // Picture, Image and Grid
    QSize gridCells;  // Grid: columns by rows
    QSizeF gridSize;  // Grid: its own size in twips
    QSizeF pictureSize;  // Picture: the box's size in twips
    QString tag;  // Picture: what tagPicture said when it was drawn
    QSize imageSize;  // Image: pixels
    double imageDpi = 0;  // Image: its resolution
    QPointF position;  // Text
    QString text;  // Text
    double points = 0;  // Text
};

class RecordingPrintDevice : public PrintDevice {
public:
    Status begin(PageOrientation orientation) override;
    void drawPicture(const RecordedDrawing &picture, const QRectF &target) override;
    void drawImage(const QImage &image, const QRectF &target) override;
    void drawGrid(const CellGrid &grid, const QRectF &target) override;
    void text(double x, double y, const QString &text, double points) override;
    Status end() override;

    // The calls of one kind, in order.
    std::vector<PrintCall> callsOf(PrintCall::Kind kind) const;
    // Documents begun, failed ones included.
    int documentsBegun() const { return begun_; }

    std::vector<PrintCall> calls;
    // Documents (0 = the first begun) whose begin() or end() fails.
    std::set<int> failBegin;
    std::set<int> failEnd;
    // Names each picture as it is drawn (a test passes the shown runner); may be empty.
    std::function<QString(const RecordedDrawing &)> tagPicture;

private:
    int begun_ = 0;
    bool open_ = false;
};

}  // namespace marunoki
