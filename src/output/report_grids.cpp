#include "output/report_grids.h"

#include "app/format.h"
#include "view/bacyu_table.h"

#include <algorithm>
#include <cmath>

namespace marunoki {

namespace {

const QString kAgari = QStringLiteral("上がり");
const QString kTimeHeader = QStringLiteral("time");

// The last row holding any text (0 when only the header has).
int lastRowWithText(const CellGrid &grid)
{
    for (int r = grid.rows() - 1; r > 0; --r) {
        for (int c = 0; c < grid.cols(); ++c) {
            if (!grid.at(r, c)->text.isEmpty())
                return r;
        }
    }
    return 0;
}

}  // namespace

QString raceTimeText(float seconds)
{
    if (!(seconds > 0) || !std::isfinite(seconds))
        return {};
    // Tenths as a whole number first, so 59.96 reads 1:00.0 and never 0:60.0.
    const auto tenths = static_cast<long long>(std::llround(double(seconds) * 10));
    const long long minutes = tenths / 600;
    const long long rest = tenths % 600;
    const QString secondsText = QStringLiteral("%1.%2").arg(rest / 10).arg(rest % 10);
    if (minutes == 0)
        return secondsText;
    return QStringLiteral("%1:%2").arg(minutes).arg(secondsText.rightJustified(4, u'0'));
}

CellGrid reportRunGrid(const CellGrid &runGrid, const RaceStore &store, qint32 runner)
{
    CellGrid grid = runGrid;
    int agari = 0;
    for (int c = 0; c < grid.cols(); ++c) {
        GridCell &header = *grid.at(0, c);
        if (header.text == kAgari)
            header.text = ++agari == 1 ? QStringLiteral("上がり指数") : QStringLiteral("上がり3F");
        if (header.text != kTimeHeader || !store.isRunner(runner))
            continue;
        // Row r holds run r.
        for (int r = 1; r < grid.rows() && r <= kMaxRuns; ++r) {
            if (store.horses[runner].runs[r].date > 0)
                grid.at(r, c)->text = raceTimeText(store.horses[runner].runs[r].time);
        }
    }
    grid.setRows(lastRowWithText(grid) + 1);
    return grid;
}

CellGrid reportBacyuGrid(const CellGrid &bacyuGrid, const RaceStore &store)
{
    CellGrid grid = bacyuGrid;
    for (const qint32 n : store.runners()) {
        for (int k = 1; k <= kBacyuShownRuns; ++k) {
            // A central course by its name, as the local ones are written.
            const QString &zyo = store.horses[n].runs[k].course;
            const int course = zyo.size() == 2 ? zyo.toInt() : 0;
            if (GridCell *head = grid.at(bacyuBlockRow(n), bacyuRunTextColumn(k));
                head && course >= 1 && course <= kCourseCount && head->text.startsWith(zyo + u' '))
                head->text = courseNames()[size_t(course)] + head->text.mid(zyo.size());
            GridCell *cell = grid.at(bacyuBlockRow(n) + kBacyuBlockRows - 1, bacyuRunTextColumn(k));
            const float time = store.horses[n].runs[k].time;
            const QString shown = plainNumber(time);
            // The time leads the text, followed by the margin in brackets.
            if (cell && time > 0 && cell->text.startsWith(shown + u'('))
                cell->text = raceTimeText(time) + cell->text.mid(shown.size());
        }
    }
    // The blocks of horse numbers the card does not have stay off the page.
    grid.setRows(std::min(grid.rows(), bacyuBlockRow(store.runnerCount() + 1)));
    return grid;
}

CellLinks bacyuNameLinks(const RaceStore &store, const std::function<QString(qint32)> &href)
{
    return [&store, href](int row, int col) {
        const int n = row / kBacyuBlockRows + 1;
        if (col != kBacyuNameColumn || row != bacyuBlockRow(n) + 1 || !store.isRunner(n)
            || store.horses[n].name.isEmpty())
            return QString();
        return href(n);
    };
}

CellLinks taisenNameLinks(const RaceStore &store, const std::function<QString(qint32)> &href)
{
    return [&store, href](int row, int col) {
        if (col != 1 || !store.isRunner(row) || store.horses[row].name.isEmpty())
            return QString();
        return href(row);
    };
}

}  // namespace marunoki
