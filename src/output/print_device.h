#pragma once
// Where printed pages go. A print device takes one document at a time, each a
// single A4 page in portrait or landscape; every position and size is in twips
// (1/1440 inch) with the origin at the top-left corner of the printable area.
//
// The printing jobs only talk to this interface: the desktop program prints on
// a QPrinter, the tests on a PDF writer or on the tests' RecordingPrintDevice, which keeps
// what was asked of it.

#include "app/status.h"

#include <QImage>
#include <QRectF>
#include <QString>

namespace marunoki {

class CellGrid;
class RecordedDrawing;

enum class PageOrientation { Portrait, Landscape };

// A step of a print device gives a Status: ok, or the reason it did not go
// (for the developer; the user sees the job's own message).

class PrintDevice {
public:
    virtual ~PrintDevice() = default;

    // Starts a document: one A4 page in the orientation. Drawing is only valid
    // between a successful begin() and end().
    virtual Status begin(PageOrientation orientation) = 0;
    // The picture scaled into the target rectangle (the whole box, whatever its
    // size, fills the rectangle).
    virtual void drawPicture(const RecordedDrawing &picture, const QRectF &target) = 0;
    // The image scaled into the target rectangle.
    virtual void drawImage(const QImage &image, const QRectF &target) = 0;
    // The whole grid, every row and column at full size (its column widths by
    // rows() x CellGrid::kRowHeight twips), scaled into the target rectangle and
    // drawn as lines, fills and text: the text stays text on paper and in a file.
    virtual void drawGrid(const CellGrid &grid, const QRectF &target) = 0;
    // Text with its top-left corner at (x, y), in the given size in points. A
    // carriage return starts a new line below.
    virtual void text(double x, double y, const QString &text, double points) = 0;
    // Ends the document; the page goes to the printer.
    virtual Status end() = 0;
};

}  // namespace marunoki
