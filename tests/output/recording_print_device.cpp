#include "output/recording_print_device.h"

#include "view/cell_grid.h"
#include "view/recorded_drawing.h"

namespace marunoki {

Status RecordingPrintDevice::begin(PageOrientation orientation)
{
    const int document = begun_++;
    PrintCall call;
    call.kind = PrintCall::Kind::Begin;
    call.document = document;
    call.orientation = orientation;
    calls.push_back(call);
    if (open_)
        return Status::failure(QStringLiteral("前の印刷がまだ終わっていません"));
    if (failBegin.count(document) != 0)
        return Status::failure(QStringLiteral("プリンタがありません"));
    open_ = true;
    return Status::success();
}

void RecordingPrintDevice::drawPicture(const RecordedDrawing &picture, const QRectF &target)
{
    PrintCall call;
    call.kind = PrintCall::Kind::Picture;
    call.document = begun_ - 1;
    call.target = target;
    call.pictureSize = QSizeF(picture.width(), picture.height());
    if (tagPicture)
        call.tag = tagPicture(picture);
    calls.push_back(call);
}

void RecordingPrintDevice::drawImage(const QImage &image, const QRectF &target)
{
    PrintCall call;
    call.kind = PrintCall::Kind::Image;
    call.document = begun_ - 1;
    call.target = target;
    call.imageSize = image.size();
    call.imageDpi = image.dotsPerMeterX() * 0.0254;
    calls.push_back(call);
}

void RecordingPrintDevice::drawGrid(const CellGrid &grid, const QRectF &target)
{
    PrintCall call;
    call.kind = PrintCall::Kind::Grid;
    call.document = begun_ - 1;
    call.target = target;
    call.gridCells = QSize(grid.cols(), grid.rows());
    call.gridSize = QSizeF(grid.totalWidth(), double(grid.rows()) * CellGrid::kRowHeight);
    calls.push_back(call);
}

void RecordingPrintDevice::text(double x, double y, const QString &text, double points)
{
    PrintCall call;
    call.kind = PrintCall::Kind::Text;
    call.document = begun_ - 1;
    call.position = QPointF(x, y);
    call.text = text;
    call.points = points;
    calls.push_back(call);
}

Status RecordingPrintDevice::end()
{
    PrintCall call;
    call.kind = PrintCall::Kind::End;
    call.document = begun_ - 1;
    calls.push_back(call);
    if (!open_)
        return Status::failure(QStringLiteral("印刷が始まっていません"));
    open_ = false;
    if (failEnd.count(call.document) != 0)
        return Status::failure(QStringLiteral("ページをプリンタに送れません"));
    return Status::success();
}

std::vector<PrintCall> RecordingPrintDevice::callsOf(PrintCall::Kind kind) const
{
    std::vector<PrintCall> found;
    for (const PrintCall &call : calls) {
        if (call.kind == kind)
            found.push_back(call);
    }
    return found;
}

}  // namespace marunoki
