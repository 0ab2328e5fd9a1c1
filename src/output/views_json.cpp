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

}  // namespace

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
    for (const qint32 n : store.runners()) {
        views.shownRunner = n;
        showGraph(shown);
        runners.append(
            QJsonObject {{QStringLiteral("uma"), n}, {QStringLiteral("Label7"), captionText(views.umaInfo)},
                {QStringLiteral("MSFlexGrid2"), gridJson(views.runGrid)},
                {QStringLiteral("MSFlexGrid1"), gridJson(views.taisenGrid)}});
    }
    // The race panel as the graphs wrote it; the table drawn last, as the
    // window draws it over the graph.
    const QString raceInfo = captionText(views.raceInfo);
    switchToBacyu(shown);
    return QJsonObject {{QStringLiteral("Label1"), raceInfo},
        {QStringLiteral("MSFlexGrid3"), gridJson(views.bacyuGrid)}, {QStringLiteral("runners"), runners}};
}

Status writeViewsJson(ViewContext &context, const QString &path)
{
    return writeFileAtomically(path, QJsonDocument(viewsJson(context)).toJson(QJsonDocument::Indented));
}

}  // namespace marunoki
