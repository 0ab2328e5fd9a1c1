#pragma once
// The 印 panel: the marked horses of the race shown, in mark order (number,
// name, mark), or why marking is off. A click on a horse on the card asks for
// that runner to be shown. The rows come from RaceMarks; the panel only shows
// them.

#include "driver/race_marks.h"

#include <QWidget>

#include <vector>

class QLabel;
class QTreeWidget;

namespace marunoki::gui {

class MarkPanel : public QWidget {
    Q_OBJECT
public:
    explicit MarkPanel(QWidget *parent = nullptr);

    // Shows rows, and note above them when it is not empty (why marking is off).
    void setRows(const std::vector<MarkRow> &rows, const QString &note);

Q_SIGNALS:
    // A click on the row of a horse on the card.
    void runnerChosen(qint32 runner);

private:
    QLabel *note_;
    QTreeWidget *list_;
};

// The label beside the runner box that shows the shown runner's mark: wide
// enough for any mark, so the row does not move when one is set.
QLabel *markLabel();

}  // namespace marunoki::gui
