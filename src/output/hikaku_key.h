#pragma once
// The key of the report's comparison graph. Two runners share each bracket
// colour, so the picture alone does not say which line is whose: the report's
// copy of the graph carries each runner's horse number in a tag beside its
// line's newest circle, and beside the picture a key lists every runner in its
// line's colour and names the emphasised one. The window's graph stays as it is.

#include "app/race_store.h"
#include "view/draw_box.h"

#include <QString>

#include <functional>

class QPainter;
class QRectF;

namespace marunoki {

// Width in twips of the key panel paintHikakuKey puts beside the graph.
constexpr double kHikakuKeyWidth = 2400;

// Paints the number tags over the comparison graph drawn on `box` (same layout),
// painted into `target`. Tags that would cover each other are moved down.
void paintHikakuTags(const RaceStore &store, const DrawBox &box, QPainter &painter, const QRectF &target);

// Paints the key into `target` at the scale of the graph (`scale` painter
// units per twip): the emphasised runner, then every runner with a name, number
// and name in its line's colour. For a picture that stands alone.
void paintHikakuKey(
    const RaceStore &store, qint32 chosen, QPainter &painter, const QRectF &target, double scale);

// The key as HTML: the emphasised runner, then every runner of the card that has
// a name, number and name in its line's colour, linked through `href`.
QString hikakuKeyHtml(const RaceStore &store, qint32 chosen, const std::function<QString(qint32)> &href);

}  // namespace marunoki
