#include "web/cell_rules.h"

#include "app/common.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace marunoki {

int firstRow(
    const PageTable &table, int col, int from, int to, const std::function<bool(const QString &)> &test)
{
    for (int r = from; r <= to; ++r) {
        if (test(table.cell(r, col)))
            return r;
    }
    return -1;
}

void noteRunnersLeftOut(const PageTable &table, int from, int step, int numberCol, int nameCol,
    RaceStore &store, MessageSink &messages)
{
    // A runner row has a name and a short horse-number cell; the number may be
    // anything the count stopped at ("取消", a full-width digit, a repeat).
    QStringList leftOut;
    for (int r = from; r >= 0 && r <= kPageRows; r += step) {
        const QString number = table.cell(r, numberCol).trimmed();
        const QString name = stripSpaces(table.cell(r, nameCol));
        // The row the count stopped at may have lost its number altogether.
        if ((number.isEmpty() && r != from) || number.size() > 4 || name.isEmpty())
            break;
        leftOut.append(toWholeNumber(number) ? QStringLiteral("%1番 %2").arg(number, name)
                : number.isEmpty()           ? name
                                             : QStringLiteral("%1（馬番 %2）").arg(name, number));
    }
    if (!leftOut.isEmpty()) {
        store.gaps.leftOut = leftOut;
        messages.message(QStringLiteral("出馬表の馬番が %1頭目で途切れています。読み込まなかった馬: %2")
                             .arg(store.runnerCount() + 1)
                             .arg(leftOut.join(QStringLiteral("、"))));
    }
}

bool inDateWindow(double d, double raceDate)
{
    return raceDate - kHistoryDays < d && d < raceDate;
}

qint32 surfaceCode(const QString &courseCell)
{
    if (courseCell.startsWith(u'芝'))
        return 1;
    if (courseCell.startsWith(u'ダ'))
        return 0;
    return 2;
}

std::optional<qint32> courseDistance(const QString &courseCell)
{
    // Four characters can neither overflow nor round: the whole-number
    // conversion of a numeric text always succeeds here.
    const QString digits = courseCell.mid(1, 4);
    if (!isNumeric(digits))
        return std::nullopt;
    return toWholeNumber(digits);
}

std::optional<float> toSingle(const QString &text)
{
    const auto value = toNumber(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*value);
}

namespace {

template <typename T, typename Convert>
CellRead readNumber(const QString &cell, T &field, Convert convert)
{
    if (!isNumeric(cell))
        return CellRead::Kept;
    const auto value = convert(cell);
    if (!value)
        return CellRead::Failed;
    field = *value;
    return CellRead::Set;
}

}  // namespace

CellRead readWhole(const QString &cell, qint32 &field)
{
    return readNumber(cell, field, toWholeNumber);
}

CellRead readSingle(const QString &cell, float &field)
{
    return readNumber(cell, field, toSingle);
}

CellRead readCarried(const QString &cell, float &field)
{
    if (isNumeric(cell))
        return readSingle(cell, field);
    return readSingle(cell.left(cell.size() - 1), field);
}

CellRead readCorners(const QString &cell, std::array<qint32, 5> &corners)
{
    QStringView rest(cell);
    for (int corner = 1; corner <= 4; ++corner) {
        const qsizetype dash = rest.indexOf(u'-');
        const QString part = (dash < 0 ? rest : rest.left(dash)).toString();
        if (readWhole(part, corners[corner]) == CellRead::Failed)
            return CellRead::Failed;
        if (dash < 0)
            break;
        rest = rest.mid(dash + 1);
    }
    return CellRead::Set;
}

namespace {

std::optional<float> timeValue(double seconds)
{
    if (std::fabs(seconds) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(seconds);
}

}  // namespace

std::optional<float> composeTime(const QString &minutes, const QString &seconds, const QString &tenth)
{
    const auto m = toNumber(minutes);
    const auto s = toNumber(seconds);
    const auto t = toNumber(tenth);
    if (!m || !s || !t)
        return std::nullopt;
    return timeValue(*m * 60 + *s + *t / 10);
}

std::optional<float> composeTime(const QString &seconds, const QString &tenth)
{
    const auto s = toNumber(seconds);
    const auto t = toNumber(tenth);
    if (!s || !t)
        return std::nullopt;
    return timeValue(*s + *t / 10);
}

int profileRow(const PageTable &table)
{
    return firstRow(
        table, 1, 0, 39, [](const QString &c) { return c.startsWith(QStringLiteral("生年月日")); });
}

bool readSharedCells(
    const PageTable &table, int row, const ResultColumns &cols, int n, int run, RaceStore &store)
{
    std::array<std::pair<int, qint32 *>, 5> wholes = {{{cols.fieldSize, &store.horses[n].runs[run].fieldSize},
        {cols.waku, &store.horses[n].runs[run].bracket}, {cols.no, &store.horses[n].runs[run].horseNumber},
        {cols.ninki, &store.horses[n].runs[run].popularity},
        {cols.cyaku, &store.horses[n].runs[run].finish}}};
    std::sort(wholes.begin(), wholes.end());
    for (const auto &[col, field] : wholes) {
        if (readWhole(table.cell(row, col), *field) == CellRead::Failed)
            return false;
    }
    // The cell as shown: a mark in place of a position (中, 取, 3(降)) says what
    // became of the runner, which the journal's results keep.
    store.horses[n].runs[run].finishText = stripSpaces(table.cell(row, cols.cyaku));
    store.horses[n].runs[run].jockey = stripSpaces(table.cell(row, cols.kisyu));
    return readCarried(table.cell(row, cols.hutan), store.horses[n].runs[run].weightCarried)
        != CellRead::Failed;
}

void readResultRows(const PageTable &table, int h, RaceStore &store, qint32 n, MessageSink &messages,
    const QString &failureMessage, const std::function<bool(int row, double date, int run)> &readRun)
{
    const double raceDate = store.raceDate;
    int run = 1;
    for (int i = 1; i <= 80; ++i) {
        const int row = h + i;
        const auto date = parseDate(table.cell(row, 1));
        if (!date || !inDateWindow(*date, raceDate))
            continue;
        if (!readRun(row, *date, run)) {
            store.horses[n].runs[run].rowFailed = 1;
            messages.message(failureMessage);
            return;
        }
        ++run;
        if (run == kMaxRuns) {
            messages.message(QStringLiteral("全て読み込み出来ませんでした"));
            return;
        }
    }
}

QString runnerStatusLine(const RaceStore &store, qint32 n)
{
    const QString name = isHorseNumber(n) ? store.horses[n].name : QString();
    return formatNumber(n, QStringLiteral("00")) + u'/' + formatNumber(store.fieldSize, QStringLiteral("00"))
        + u' ' + name + QStringLiteral("成績読込み中・・・");
}

}  // namespace marunoki
