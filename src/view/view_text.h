#pragma once
// Small texts the grids and the table share: the going mark, the running-style
// mark, the figure text. Kept in one place so the views never disagree.

#include <QString>

namespace marunoki {

// Going code 1..4 as "良", "稍", "重", "不"; any other code gives the empty text.
QString goingMark(qint32 code);

// Running-style mark of the running-style index v (mean first-corner share):
// 0 or not a number (no index) empty, below 2 "逃", below 3 "先", 6 or more "追", else "差".
QString runningStyleMark(float v);

// A figure as the table prints it: rounded to a whole number with at least two
// digits ("07", "56"), three from 100 on ("103"), a minus sign in front ("-05").
QString figureText(float figure);

}  // namespace marunoki
