#include "output/tally_view.h"

#include "app/race_store.h"
#include "output/tally_files.h"

namespace marunoki {

namespace {

// A range box pair; a missing bound is 0 below and `most` above, and bounds
// given the wrong way round are swapped.
std::optional<std::pair<int, int>> rangeOf(int low, int high, int most)
{
    low = std::max(low, 0);
    if (low == 0 && high <= 0)
        return std::nullopt;
    high = high > 0 ? high : std::max(most, low);
    return std::pair(std::min(low, high), std::max(low, high));
}

// The row label's column is wider than the numbers'.
constexpr int kLabelWidth = 1300;
constexpr int kNumberWidth = 780;
constexpr int kReturnWidth = 1100;  // 単勝回収率

CellGrid gridOf(const TallyTable &table)
{
    CellGrid grid;
    const std::vector<QString> heads = tallyColumns(table.key);
    grid.setRows(int(table.rows.size()) + 1);
    grid.setCols(int(heads.size()));
    grid.fixedRows = 1;
    grid.fixedCols = 1;
    grid.baseFontSize = 9;
    for (int c = 0; c < grid.cols(); ++c) {
        (void)grid.setColWidth(c, c == 0 ? kLabelWidth : c == 9 ? kReturnWidth : kNumberWidth);
        GridCell *head = grid.at(0, c);
        head->text = heads[size_t(c)];
        head->background = QColor(0xe8, 0xe8, 0xf0);
    }
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const std::vector<QString> cells = tallyCells(table.rows[r]);
        for (size_t c = 0; c < cells.size() && int(c) < grid.cols(); ++c) {
            GridCell *cell = grid.at(int(r) + 1, int(c));
            cell->text = cells[c];
            // Counts and rates line up on the right, as the printed tables; a
            // row of too few runners to go by is grey.
            cell->align = c == 0 ? CellAlign::General : CellAlign::Right;
            if (table.rows[r].tentative())
                cell->foreground = QColor(0x77, 0x77, 0x77);
        }
    }
    return grid;
}

}  // namespace

const std::vector<TallyByChoice> &tallyByChoices()
{
    static const std::vector<TallyByChoice> choices
        = {{QStringLiteral("すべて"), {}}, {QStringLiteral("平均指数"), QStringLiteral("mean")},
            {QStringLiteral("最高指数"), QStringLiteral("best")},
            {QStringLiteral("90日平均"), QStringLiteral("mean90")},
            {QStringLiteral("人気"), QStringLiteral("popularity")},
            {QStringLiteral("印"), QStringLiteral("mark")}};
    return choices;
}

const std::vector<TallyGroupChoice> &tallyGroupChoices()
{
    static const std::vector<TallyGroupChoice> choices = {{QStringLiteral("なし"), TallyGroup::None},
        {tallyGroupCaption(TallyGroup::Course), TallyGroup::Course},
        {tallyGroupCaption(TallyGroup::Surface), TallyGroup::Surface},
        {tallyGroupCaption(TallyGroup::Distance), TallyGroup::Distance},
        {tallyGroupCaption(TallyGroup::Month), TallyGroup::Month},
        {tallyGroupCaption(TallyGroup::Field), TallyGroup::Field}};
    return choices;
}

TallyRequest tallyRequestOf(const TallyForm &form)
{
    TallyRequest request;
    TallyFilter &filter = request.filter;
    filter.from = form.from;
    filter.to = form.to;
    if (form.site == 1 || form.site == 2)
        filter.site = form.site;
    if (form.course >= 1 && form.course <= kCourseCount)
        filter.course = QStringLiteral("%1").arg(form.course, 2, 10, QLatin1Char('0'));
    if (form.surface == 1 || form.surface == 2)
        filter.surface = form.surface == 1 ? 1 : 0;
    filter.distance = rangeOf(form.distanceLow, form.distanceHigh, kTallyMaxDistance);
    filter.runners = rangeOf(form.runnersLow, form.runnersHigh, kTallyMaxRunners);
    std::optional<TallyKey> by;
    if (form.by > 0 && form.by < int(tallyByChoices().size()))
        by = tallyKeyOf(tallyByChoices()[size_t(form.by)].key);
    request.layout.keys = tallyKeysFor(by);
    if (form.group > 0 && form.group < int(tallyGroupChoices().size()))
        request.layout.group = tallyGroupChoices()[size_t(form.group)].group;
    request.description = describeFilter(filter);
    return request;
}

TallyView tallyViewOf(const QString &journalPath, const TallyRequest &request)
{
    TallyView view;
    const Result<Tally> read = tallyOfJournal(journalPath, request);
    if (!read.status.ok()) {
        view.status = read.status;
        return view;
    }
    const Tally &tally = read.value;
    view.headline = returnLine(tally);
    view.conditions = conditionsLine(tally) + u'\n' + rangeLine(tally);
    for (const TallyTable &table : tally.tables)
        view.tables.push_back({table.caption, gridOf(table), tallyChartSvg(table), favouriteLine(table)});
    view.footer = tallyFooter(tally) + u'\n' + tallyNote();
    return view;
}

}  // namespace marunoki
