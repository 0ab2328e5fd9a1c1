#include "output/tally_view.h"

#include "app/race_store.h"
#include "output/tally_files.h"

namespace marunoki {

namespace {

// A range box pair as "A-B"; a missing bound is 0 below and `most` above,
// and bounds given the wrong way round are swapped.
QString rangeText(int low, int high, int most)
{
    low = std::max(low, 0);
    if (low == 0 && high <= 0)
        return {};
    high = high > 0 ? high : std::max(most, low);
    return QStringLiteral("%1-%2").arg(std::min(low, high)).arg(std::max(low, high));
}

// The row label's column is wider than the numbers'.
constexpr int kLabelWidth = 900;
constexpr int kNumberWidth = 780;

CellGrid gridOf(const TallyTable &table)
{
    CellGrid grid;
    const std::vector<QString> &heads = tallyColumns();
    grid.setRows(int(table.rows.size()) + 1);
    grid.setCols(int(heads.size()));
    grid.fixedRows = 1;
    grid.fixedCols = 1;
    grid.baseFontSize = 9;
    for (int c = 0; c < grid.cols(); ++c) {
        (void)grid.setColWidth(c, c == 0 ? kLabelWidth : kNumberWidth);
        GridCell *head = grid.at(0, c);
        head->text = heads[size_t(c)];
        head->background = QColor(0xe8, 0xe8, 0xf0);
    }
    for (size_t r = 0; r < table.rows.size(); ++r) {
        const std::vector<QString> cells = tallyCells(table.rows[r]);
        for (size_t c = 0; c < cells.size() && int(c) < grid.cols(); ++c) {
            GridCell *cell = grid.at(int(r) + 1, int(c));
            cell->text = cells[c];
            // Counts and rates line up on the right, as the printed tables.
            cell->align = c == 0 ? CellAlign::General : CellAlign::Right;
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

TallyOptions tallyOptionsOf(const TallyForm &form)
{
    TallyOptions options;
    const auto dateText = [](const std::optional<QDate> &date) {
        return date ? date->toString(QStringLiteral("yyyy-MM-dd")) : QString();
    };
    options.from = dateText(form.from);
    options.to = dateText(form.to);
    if (form.site == 1 || form.site == 2)
        options.site = QString::number(form.site);
    if (form.course >= 1 && form.course <= kCourseCount)
        options.course = QStringLiteral("%1").arg(form.course, 2, 10, QLatin1Char('0'));
    if (form.surface == 1 || form.surface == 2)
        options.surface = form.surface == 1 ? QStringLiteral("芝") : QStringLiteral("ダ");
    options.distance = rangeText(form.distanceLow, form.distanceHigh, kTallyMaxDistance);
    options.runners = rangeText(form.runnersLow, form.runnersHigh, kTallyMaxRunners);
    if (form.by > 0 && form.by < int(tallyByChoices().size()))
        options.by = tallyByChoices()[size_t(form.by)].key;
    return options;
}

TallyView tallyViewOf(const QString &journalPath, const TallyOptions &options)
{
    TallyView view;
    const TallyRequest request = parseTallyRequest(options);
    if (!request.error.isEmpty()) {
        view.status = Status::failure(request.error);
        return view;
    }
    const JournalRead<Tally> read = tallyOfJournal(journalPath, request);
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
