#pragma once
// Moving between the runners of a loaded race, and the items of the selection
// boxes. The main window only forwards clicks here and shows the result.

#include <QString>
#include <QStringList>

namespace marunoki {

// "次へ" (and a click on the graph): the next runner, or 1 after the last.
qint32 nextRunner(qint32 current, qint32 fieldSize);
// "前へ": the previous runner, or fieldSize when the current runner is 1.
qint32 previousRunner(qint32 current, qint32 fieldSize);
// The runner box: the number in its text, lowered to the card's runner count
// (the caller passes RaceStore::runnerCount) when larger; nothing (0) when the
// text is not a number or no race is loaded.
qint32 runnerFromBoxText(const QString &text, qint32 fieldSize);

// The year box: last year, this year and next year as four-digit years
// (2007 gives "2006", "2007", "2008"). currentYear is a four-digit year.
QStringList yearItems(int currentYear);
// "01".."count".
QStringList twoDigitItems(int count);

}  // namespace marunoki
