#pragma once
// The key of the report's comparison graph. Two runners share each bracket
// colour, so the picture alone does not say which line is whose: the report's
// graph tags each line with its horse number (hikaku_chart.h), and beside the
// picture a key lists every runner in its line's colour and names the
// emphasised one. The window's graph stays as it is.

#include "app/race_store.h"

#include <QString>

#include <functional>

namespace marunoki {

// The key as HTML: the emphasised runner, then every runner of the card that has
// a name, number and name in its line's colour, linked through `href`.
QString hikakuKeyHtml(const RaceStore &store, qint32 chosen, const std::function<QString(qint32)> &href);

}  // namespace marunoki
