#include "output/views_json.h"

#include "app/atomic_file.h"
#include "window/shown_runner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>

namespace marunoki {

namespace {

const GridCell kDefaultCell;

// "#RRGGBB", upper case.
QString colourText(const QColor &colour)
{
    return colour.name(QColor::HexRgb).toUpper();
}

// A panel's caption with its line breaks (CR, CR LF) as "\n".
QString captionText(const QString &caption)
{
    QString text = caption;
    return text.replace(QRegularExpression(QStringLiteral("\\r\\n?")), QStringLiteral("\n"));
}

QString kindText(PrimitiveKind kind)
{
    switch (kind) {
    case PrimitiveKind::Line:
        return QStringLiteral("line");
    case PrimitiveKind::Box:
        return QStringLiteral("box");
    case PrimitiveKind::FilledBox:
        return QStringLiteral("fill");
    case PrimitiveKind::Circle:
        return QStringLiteral("circle");
    case PrimitiveKind::Text:
        break;
    }
    return QStringLiteral("text");
}

QString styleText(LineStyle style)
{
    switch (style) {
    case LineStyle::Dot:
        return QStringLiteral("dot");
    case LineStyle::DashDot:
        return QStringLiteral("dashdot");
    case LineStyle::Solid:
        break;
    }
    return QStringLiteral("solid");
}

QJsonObject primitiveJson(const DrawPrimitive &p)
{
    QJsonObject op {{QStringLiteral("kind"), kindText(p.kind)}, {QStringLiteral("x1"), p.x1},
        {QStringLiteral("y1"), p.y1}};
    if (p.kind == PrimitiveKind::Text) {
        op.insert(QStringLiteral("text"), p.text);
        op.insert(QStringLiteral("size"), p.points);
        return op;
    }
    op.insert(QStringLiteral("color"), colourText(p.colour));
    op.insert(QStringLiteral("width"), p.pen.drawWidth);
    op.insert(QStringLiteral("style"), styleText(p.pen.drawStyle));
    if (p.kind == PrimitiveKind::Circle) {
        op.insert(QStringLiteral("r"), p.radius);
        op.insert(QStringLiteral("fill"),
            p.pen.fillStyle == FillStyle::Solid ? QJsonValue(colourText(p.pen.fillColor)) : QJsonValue());
        return op;
    }
    op.insert(QStringLiteral("x2"), p.x2);
    op.insert(QStringLiteral("y2"), p.y2);
    return op;
}

}  // namespace

QJsonObject drawingJson(const RecordedDrawing &drawing)
{
    QJsonArray ops;
    for (const DrawPrimitive &p : drawing.primitives())
        ops.append(primitiveJson(p));
    return QJsonObject {{QStringLiteral("width"), drawing.width()},
        {QStringLiteral("height"), drawing.height()}, {QStringLiteral("ops"), ops}};
}

QJsonObject gridJson(const CellGrid &grid)
{
    QJsonArray text;
    QJsonArray style;
    for (int r = 0; r < grid.rows(); ++r) {
        QJsonArray row;
        for (int c = 0; c < grid.cols(); ++c) {
            const GridCell &cell = *grid.at(r, c);
            row.append(cell.text);
            const double size = cell.fontSize > 0 ? cell.fontSize : grid.baseFontSize;
            if (cell.foreground.rgb() == kDefaultCell.foreground.rgb()
                && cell.background.rgb() == kDefaultCell.background.rgb() && !cell.bold
                && size == grid.baseFontSize)
                continue;
            style.append(QJsonObject {{QStringLiteral("r"), r}, {QStringLiteral("c"), c},
                {QStringLiteral("fore"), colourText(cell.foreground)},
                {QStringLiteral("back"), colourText(cell.background)}, {QStringLiteral("bold"), cell.bold},
                {QStringLiteral("size"), size}});
        }
        text.append(row);
    }
    return QJsonObject {{QStringLiteral("rows"), grid.rows()}, {QStringLiteral("cols"), grid.cols()},
        {QStringLiteral("text"), text}, {QStringLiteral("style"), style}};
}

QJsonObject viewsJson(ViewContext &context)
{
    const ShownRunner keep(context);
    ViewContext shown {context.store, context.settings, 1, context.views, context.messages};
    const RaceStore &store = context.store;
    WindowViews &views = context.views;

    QJsonArray runners;
    QJsonObject legend = drawingJson(views.legendBox);
    for (const qint32 n : store.runners()) {
        views.shownRunner = n;
        showGraph(shown);
        runners.append(
            QJsonObject {{QStringLiteral("uma"), n}, {QStringLiteral("Label7"), captionText(views.umaInfo)},
                {QStringLiteral("MSFlexGrid2"), gridJson(views.runGrid)},
                {QStringLiteral("MSFlexGrid1"), gridJson(views.taisenGrid)},
                {QStringLiteral("graph"), drawingJson(views.graphBox)}});
        // The legend is drawn with runner 1 only and stays until it is drawn again.
        if (n == 1)
            legend = drawingJson(views.legendBox);
    }
    // The race panel as the graphs wrote it; the comparison graph of runner 1;
    // the table drawn last, as the window draws it over the graph.
    const QString raceInfo = captionText(views.raceInfo);
    showHikakuOf(shown, 1);
    const QJsonObject hikaku = drawingJson(views.graphBox);
    switchToBacyu(shown);
    return QJsonObject {{QStringLiteral("Label1"), raceInfo},
        {QStringLiteral("MSFlexGrid3"), gridJson(views.bacyuGrid)}, {QStringLiteral("runners"), runners},
        {QStringLiteral("legend"), legend}, {QStringLiteral("hikaku"), hikaku}};
}

Status writeViewsJson(ViewContext &context, const QString &path)
{
    return writeFileAtomically(path, QJsonDocument(viewsJson(context)).toJson(QJsonDocument::Indented));
}

}  // namespace marunoki
