#include "output/marks_file.h"

#include "app/common.h"
#include "app/race_store.h"
#include "journal/tally_request.h"
#include "output/csv_export.h"
#include "settings/text_decoding.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace marunoki {

namespace {

const QString kHeader = QStringLiteral("日付,場,レース,馬番,印");
constexpr int kColumns = 5;
constexpr int kMaxRaceNumber = 99;
const QString kClear = QStringLiteral("-");

// A field as a spreadsheet may write it: blanks around it, one pair of quotes.
QString fieldText(QString field)
{
    field = field.trimmed();
    if (field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"'))
        field = field.mid(1, field.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return field.trimmed();
}

std::optional<int> wholeNumber(const QString &text, int min, int max)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || text.startsWith(u'+') || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<QString> courseCodeOf(const QString &text)
{
    int index = zyoIndex(text);
    if (index == 0 && text.size() <= 2)
        index = wholeNumber(text, 1, kCourseCount).value_or(0);
    if (index == 0)
        return std::nullopt;
    return QStringLiteral("%1").arg(index, 2, 10, QLatin1Char('0'));
}

QDate dateOf(const QString &text)
{
    const QDate iso = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return iso.isValid() ? iso : QDate::fromString(text, QStringLiteral("yyyy/M/d"));
}

// One row of fields; what is wrong with it, or empty.
QString readRow(const QStringList &fields, MarkFileRow &row)
{
    if (fields.size() != kColumns)
        return QStringLiteral("列が %1 個あります（日付,場,レース,馬番,印 の %2 列）")
            .arg(fields.size())
            .arg(kColumns);
    row.date = dateOf(fields[0]);
    if (!row.date.isValid())
        return QStringLiteral("日付 %1 が読めません（YYYY-MM-DD）").arg(fields[0]);
    const auto course = courseCodeOf(fields[1]);
    if (!course)
        return QStringLiteral("場 %1 が中央の競馬場ではありません").arg(fields[1]);
    row.course = *course;
    const auto race = wholeNumber(fields[2], 1, kMaxRaceNumber);
    if (!race)
        return QStringLiteral("レース番号 %1 が読めません（1〜%2）").arg(fields[2]).arg(kMaxRaceNumber);
    row.race = *race;
    const auto number = wholeNumber(fields[3], 1, kMaxRunners);
    if (!number)
        return QStringLiteral("馬番 %1 が読めません（1〜%2）").arg(fields[3]).arg(kMaxRunners);
    row.number = *number;
    if (fields[4] != kClear) {
        row.mark = markOfSymbol(fields[4]);
        if (!row.mark)
            return QStringLiteral("印 %1 は ◎ ○ ▲ △ ☆ × - のどれでもありません").arg(fields[4]);
    }
    return {};
}

QString rowName(const MarkFileRow &row)
{
    return QStringLiteral("%1 %2 %3R %4番")
        .arg(row.date.toString(Qt::ISODate), courseNameOfCode(row.course))
        .arg(row.race)
        .arg(row.number);
}

}  // namespace

MarkFileRows readMarkRows(const QByteArray &bytes)
{
    MarkFileRows read;
    const DecodedText text = decodeUserText(bytes);
    if (!text.problem.isEmpty()) {
        read.error = QStringLiteral("印のファイルが読めません: ") + text.problem;
        return read;
    }
    bool headerSeen = false;
    for (size_t i = 0; i < text.lines.size(); ++i) {
        const DecodedLine &line = text.lines[i];
        const int lineNumber = int(i) + 1;
        const auto bad = [&](const QString &why) {
            read.rows.clear();
            read.error = QStringLiteral("%1 行目: %2").arg(lineNumber).arg(why);
            return read;
        };
        if (!line.clean)
            return bad(QStringLiteral("UTF-8 としても Shift_JIS としても読めない文字があります"));
        QStringList fields = line.text.split(u',');
        for (QString &field : fields)
            field = fieldText(field);
        if (std::all_of(fields.begin(), fields.end(), [](const QString &f) { return f.isEmpty(); }))
            continue;
        if (!headerSeen && read.rows.empty() && fields.value(0) == QStringLiteral("日付")) {
            headerSeen = true;
            continue;
        }
        MarkFileRow row;
        row.line = lineNumber;
        if (const QString why = readRow(fields, row); !why.isEmpty())
            return bad(why);
        read.rows.push_back(row);
    }
    return read;
}

QString marksCsvText(const std::vector<KeyedMark> &marks)
{
    // One row per runner of a race as the user knows it: a mark set on the
    // horse's own number first, then the one set last speaks for both sites.
    using RunnerOfRace = std::tuple<QDate, QString, int, int>;
    const auto rank
        = [](const KeyedMark &m) { return std::pair(m.mark.number == m.cardNumber, m.mark.setAt); };
    std::map<RunnerOfRace, const KeyedMark *> rows;
    for (const KeyedMark &m : marks) {
        if (m.cardNumber == 0)
            continue;
        const KeyedMark *&row = rows[{m.key.date, m.key.course, m.key.race, m.cardNumber}];
        if (row == nullptr || rank(m) > rank(*row))
            row = &m;
    }
    QString text = kHeader + QStringLiteral("\r\n");
    for (const auto &[runner, m] : rows) {
        text += QStringLiteral("%1,%2,%3,%4,%5\r\n")
                    .arg(m->key.date.toString(Qt::ISODate), courseNameOfCode(m->key.course))
                    .arg(m->key.race)
                    .arg(m->cardNumber)
                    .arg(markSymbol(m->mark.mark));
    }
    return text;
}

MarksExport exportMarks(Journal &journal, const QString &path, const FileSystem &files)
{
    MarksExport done;
    const auto marks = journal.allMarks();
    if (!marks.status.ok()) {
        done.status = marks.status;
        return done;
    }
    const QString text = marksCsvText(marks.value);
    done.rows = int(text.count(u'\n')) - 1;
    done.status = writeFileAtomically(path, toCodePage(text), files);
    return done;
}

JournalRead<std::vector<MarkChange>> withOldNumbersCleared(
    Journal &journal, const std::vector<MarkChange> &changes)
{
    JournalRead<std::vector<MarkChange>> all;
    for (const MarkChange &change : changes) {
        if (change.mark && !change.horseUrl.isEmpty()) {
            const auto marks = journal.marks(change.key);
            if (!marks.status.ok()) {
                all.status = marks.status;
                return all;
            }
            for (const RunnerMark &old : marks.value) {
                if (old.horseUrl == change.horseUrl && old.number != change.number)
                    all.value.push_back({change.key, old.number, old.horseUrl, std::nullopt});
            }
        }
        all.value.push_back(change);
    }
    return all;
}

MarksImport importMarks(Journal &journal, const QByteArray &bytes)
{
    MarksImport done;
    const MarkFileRows read = readMarkRows(bytes);
    if (!read.error.isEmpty()) {
        done.status = Status::failure(read.error + QStringLiteral("。印は何も変えていません"));
        return done;
    }
    std::vector<MarkChange> changes;
    for (const MarkFileRow &row : read.rows) {
        const auto races = journal.racesOn(row.date, row.course, row.race);
        if (!races.status.ok()) {
            done.status = races.status;
            return done;
        }
        bool placed = false;
        for (const RaceKey &key : races.value) {
            const auto runner = journal.recordedRunner(key, row.number);
            if (!runner.status.ok()) {
                done.status = runner.status;
                return done;
            }
            if (runner.value) {
                changes.push_back({key, row.number, runner.value->horseUrl, row.mark});
                placed = true;
            }
        }
        if (placed)
            ++done.placed;
        else
            done.unplaced.push_back({row.line,
                rowName(row)
                    + (races.value.empty() ? QStringLiteral(": このレースは成績ジャーナルにありません")
                                           : QStringLiteral(": この馬番は記録した出走表にありません"))});
    }
    const auto cleared = withOldNumbersCleared(journal, changes);
    if (Status set = cleared.status.ok() ? journal.setMarks(cleared.value) : cleared.status; !set.ok()) {
        done.status = set;
        done.placed = 0;
    }
    return done;
}

}  // namespace marunoki
