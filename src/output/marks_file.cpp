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

const QString kHeader = QStringLiteral("日付,場,レース,馬番,印,サイト");
// A file without the site's column is read as before the column was written.
constexpr int kColumnsWithoutSite = 5;
constexpr int kColumns = 6;
constexpr int kProgressEvery = 2000;
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

// A field as a message names it: control characters (a NUL byte, an escape)
// shown as <00> rather than sent to the terminal, a long field cut short.
QString shown(const QString &field)
{
    constexpr int kLongest = 40;
    QString text;
    for (const QChar c : field.left(kLongest)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control)
            text += QStringLiteral("<%1>").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            text += c;
    }
    return field.size() > kLongest ? text + QStringLiteral("…") : text;
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
    if (fields.size() != kColumns && fields.size() != kColumnsWithoutSite)
        return QStringLiteral("列が %1 個あります（%2 の %3 列、サイトは省けます）")
            .arg(fields.size())
            .arg(kHeader)
            .arg(kColumns);
    row.date = dateOf(fields[0]);
    if (!row.date.isValid())
        return QStringLiteral("日付 %1 が読めません（YYYY-MM-DD）").arg(shown(fields[0]));
    const auto course = courseCodeOf(fields[1]);
    if (!course)
        return QStringLiteral("場 %1 が中央の競馬場ではありません").arg(shown(fields[1]));
    row.course = *course;
    const auto race = wholeNumber(fields[2], 1, kMaxRaceNumber);
    if (!race)
        return QStringLiteral("レース番号 %1 が読めません（1〜%2）")
            .arg(shown(fields[2]))
            .arg(kMaxRaceNumber);
    row.race = *race;
    const auto number = wholeNumber(fields[3], 1, kMaxRunners);
    if (!number)
        return QStringLiteral("馬番 %1 が読めません（1〜%2）").arg(shown(fields[3])).arg(kMaxRunners);
    row.number = *number;
    if (fields[4] != kClear) {
        row.mark = markOfSymbol(fields[4]);
        if (!row.mark)
            return QStringLiteral("印 %1 は ◎ ○ ▲ △ ☆ × - のどれでもありません").arg(shown(fields[4]));
    }
    if (fields.size() == kColumns) {
        row.site = wholeNumber(fields[5], 1, 2);
        if (!row.site)
            return QStringLiteral("サイト %1 が読めません（1 か 2）").arg(shown(fields[5]));
    }
    return {};
}

// The race of a row on one site, as a key of maps.
using SiteRace = std::tuple<QDate, QString, int, int>;

// Follows the file's rows race by race (a row without a site on both sites)
// and says what is wrong when a row gives ◎, ○ or ▲ to a second runner of a
// race that still holds it.
class SingleMarkCheck {
public:
    QString add(const MarkFileRow &row)
    {
        for (const int site : row.site ? std::vector<int> {*row.site} : std::vector<int> {1, 2}) {
            std::map<int, std::optional<Mark>> &race = races_[{row.date, row.course, row.race, site}];
            if (row.mark && isSingleMark(*row.mark)) {
                for (const auto &[number, mark] : race) {
                    if (number != row.number && mark == row.mark)
                        return QStringLiteral("%1 が同じレースの %2番 にもあります（◎ ○ ▲ は1レースに1頭）")
                            .arg(markSymbol(*row.mark))
                            .arg(number);
                }
            }
            race[row.number] = row.mark;
        }
        return {};
    }

private:
    std::map<SiteRace, std::map<int, std::optional<Mark>>> races_;
};

QString rowName(const MarkFileRow &row)
{
    return QStringLiteral("%1 %2 %3R %4番%5")
        .arg(row.date.toString(Qt::ISODate), courseNameOfCode(row.course))
        .arg(row.race)
        .arg(row.number)
        .arg(row.site ? QStringLiteral("（サイト%1）").arg(*row.site) : QString());
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
    SingleMarkCheck single;
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
        if (const QString why = single.add(row); !why.isEmpty())
            return bad(why);
        read.rows.push_back(row);
    }
    return read;
}

QString marksCsvText(const std::vector<KeyedMark> &marks)
{
    // One row per runner of a site's race: a mark set on the horse's own
    // number first, then the one set last.
    using RunnerOfRace = std::tuple<QDate, QString, int, int, int>;
    const auto rank
        = [](const KeyedMark &m) { return std::pair(m.mark.number == m.cardNumber, m.mark.setAt); };
    std::map<RunnerOfRace, const KeyedMark *> rows;
    for (const KeyedMark &m : marks) {
        if (m.cardNumber == 0)
            continue;
        const KeyedMark *&row = rows[{m.key.date, m.key.course, m.key.race, m.key.site, m.cardNumber}];
        if (row == nullptr || rank(m) > rank(*row))
            row = &m;
    }
    QString text = kHeader + QStringLiteral("\r\n");
    for (const auto &[runner, m] : rows) {
        text += QStringLiteral("%1,%2,%3,%4,%5,%6\r\n")
                    .arg(m->key.date.toString(Qt::ISODate), courseNameOfCode(m->key.course))
                    .arg(m->key.race)
                    .arg(m->cardNumber)
                    .arg(markSymbol(m->mark.mark))
                    .arg(m->key.site);
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

Result<std::vector<MarkChange>> withOldNumbersCleared(
    Journal &journal, const std::vector<MarkChange> &changes)
{
    Result<std::vector<MarkChange>> all;
    // Each race's marks are read once, however many rows it has.
    std::map<SiteRace, std::vector<RunnerMark>> marksOfRace;
    for (const MarkChange &change : changes) {
        if (change.mark && !change.horseUrl.isEmpty()) {
            const SiteRace race {change.key.date, change.key.course, change.key.race, change.key.site};
            auto known = marksOfRace.find(race);
            if (known == marksOfRace.end()) {
                auto marks = journal.marks(change.key);
                if (!marks.status.ok()) {
                    all.status = marks.status;
                    return all;
                }
                known = marksOfRace.emplace(race, std::move(marks.value)).first;
            }
            for (const RunnerMark &old : known->second) {
                if (old.horseUrl == change.horseUrl && old.number != change.number)
                    all.value.push_back({change.key, old.number, old.horseUrl, std::nullopt});
            }
        }
        all.value.push_back(change);
    }
    return all;
}

namespace {

// The journal's records of the races the rows name, each read once.
class RecordedRaces {
public:
    explicit RecordedRaces(Journal &journal)
        : journal_(journal)
    { }

    // The races of a row's date, course and race number (the row's site only,
    // when it names one), each with its card.
    Result<std::vector<std::pair<RaceKey, const std::vector<RecordedRunner> *>>> of(const MarkFileRow &row)
    {
        Result<std::vector<std::pair<RaceKey, const std::vector<RecordedRunner> *>>> found;
        const auto day = std::tuple(row.date, row.course, row.race);
        auto known = races_.find(day);
        if (known == races_.end()) {
            const auto races = journal_.racesOn(row.date, row.course, row.race);
            if (!races.status.ok()) {
                found.status = races.status;
                return found;
            }
            std::vector<std::pair<RaceKey, std::vector<RecordedRunner>>> cards;
            for (const RaceKey &key : races.value) {
                auto card = journal_.recordedCard(key);
                if (!card.status.ok()) {
                    found.status = card.status;
                    return found;
                }
                cards.emplace_back(key, std::move(card.value));
            }
            known = races_.emplace(day, std::move(cards)).first;
        }
        for (const auto &[key, card] : known->second) {
            if (!row.site || *row.site == key.site)
                found.value.emplace_back(key, &card);
        }
        return found;
    }

private:
    Journal &journal_;
    std::map<std::tuple<QDate, QString, int>, std::vector<std::pair<RaceKey, std::vector<RecordedRunner>>>>
        races_;
};

}  // namespace

MarksImport importMarks(Journal &journal, const QByteArray &bytes, const ImportProgress &progress)
{
    MarksImport done;
    const MarkFileRows read = readMarkRows(bytes);
    if (!read.error.isEmpty()) {
        done.status = Status::failure(read.error + QStringLiteral("。印は何も変えていません"));
        return done;
    }
    RecordedRaces recorded(journal);
    std::vector<MarkChange> changes;
    for (size_t i = 0; i < read.rows.size(); ++i) {
        const MarkFileRow &row = read.rows[i];
        if (progress && i % kProgressEvery == 0)
            progress(qsizetype(i), qsizetype(read.rows.size()));
        const auto races = recorded.of(row);
        if (!races.status.ok()) {
            done.status = races.status;
            return done;
        }
        bool placed = false;
        for (const auto &[key, card] : races.value) {
            const auto runner = std::find_if(
                card->begin(), card->end(), [&](const RecordedRunner &r) { return r.number == row.number; });
            if (runner != card->end()) {
                changes.push_back({key, row.number, runner->horseUrl, row.mark});
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
    if (progress)
        progress(qsizetype(read.rows.size()), qsizetype(read.rows.size()));
    return done;
}

}  // namespace marunoki
