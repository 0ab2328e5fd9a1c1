#include "local/nar_merge.h"

#include "app/message_sink.h"
#include "app/race_store.h"
#include "db/database.h"
#include "db/stored_date.h"

#include <QByteArrayView>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

namespace marunoki {

namespace {

const char kMergeSql[]
    = "SELECT * FROM T_Rdata LEFT JOIN T_Useiseki ON T_Rdata.R_code = T_Useiseki.R_code "
      "WHERE U_name = ? AND substr(R_date, 1, 10) < ? AND substr(R_date, 1, 10) > ? ORDER BY R_date DESC";

// The columns the merge reads, by name; the position of each in the query's rows
// is found once per query.
enum Column {
    C_R_date,
    C_R_zyo,
    C_R_no,
    C_R_name,
    C_R_class,
    C_R_kyori,
    C_R_baba,
    C_R_zyo02,
    C_U_waku,
    C_U_no,
    C_U_ninki,
    C_U_cyaku,
    C_R_tousuu,
    C_U_time,
    C_U_cyakusa,
    C_U_3f,
    C_U_taizyu,
    C_U_kisyu,
    C_U_hutan,
    C_U_cyoukyou,
    C_R_siba,
    C_U_tuka01,
    C_U_tuka02,
    C_U_tuka03,
    C_U_tuka04,
    C_U_name,
    kColumnCount
};
constexpr std::array<const char *, kColumnCount> kColumnNames
    = {"R_date", "R_zyo", "R_no", "R_name", "R_class", "R_kyori", "R_baba", "R_zyo02", "U_waku", "U_no",
        "U_ninki", "U_cyaku", "R_tousuu", "U_time", "U_cyakusa", "U_3f", "U_taizyu", "U_kisyu", "U_hutan",
        "U_cyoukyou", "R_siba", "U_tuka01", "U_tuka02", "U_tuka03", "U_tuka04", "U_name"};

// Reads the columns of the current row of a statement. A column that is missing,
// Null or not convertible to the field's type leaves the field as it is.
class RowReader {
public:
    explicit RowReader(sqlite3_stmt *statement)
        : statement_(statement)
    {
        index_.fill(-1);
        const int count = sqlite3_column_count(statement);
        for (int c = 0; c < kColumnCount; ++c) {
            for (int i = 0; i < count && index_[c] < 0; ++i) {
                if (std::strcmp(sqlite3_column_name(statement, i), kColumnNames[c]) == 0)
                    index_[c] = i;
            }
        }
    }

    void text(Column column, QString &field) const
    {
        if (const auto value = textAt(column))
            field = QString::fromUtf8(*value);
    }
    void whole(Column column, qint32 &field) const
    {
        if (const auto number = numberAt(column);
            number && std::fabs(*number) <= double(std::numeric_limits<qint32>::max()))
            field = static_cast<qint32>(std::nearbyint(*number));  // halves to even
    }
    void single(Column column, float &field) const
    {
        if (const auto number = numberAt(column);
            number && std::fabs(*number) <= std::numeric_limits<float>::max())
            field = static_cast<float>(*number);
    }
    std::optional<double> date(Column column) const
    {
        const auto value = textAt(column);
        return value ? serialFromStored(std::string(value->data(), static_cast<std::size_t>(value->size())))
                     : std::nullopt;
    }

private:
    int type(Column column) const
    {
        const int index = index_[column];
        return index < 0 ? SQLITE_NULL : sqlite3_column_type(statement_, index);
    }
    std::optional<QByteArrayView> textAt(Column column) const
    {
        if (type(column) == SQLITE_NULL)
            return std::nullopt;
        const int index = index_[column];
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement_, index));
        return QByteArrayView(text, sqlite3_column_bytes(statement_, index));
    }
    std::optional<double> numberAt(Column column) const
    {
        double number = 0;
        switch (type(column)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            number = sqlite3_column_double(statement_, index_[column]);
            break;
        case SQLITE_TEXT: {
            // A number kept as text still reads as one.
            bool ok = false;
            number = QString::fromUtf8(*textAt(column)).toDouble(&ok);
            if (!ok)
                return std::nullopt;
            break;
        }
        default:
            return std::nullopt;
        }
        if (!std::isfinite(number))
            return std::nullopt;
        return number;
    }

    sqlite3_stmt *statement_;
    std::array<int, kColumnCount> index_ {};
};

Run runFromRow(const RowReader &row, double date)
{
    Run run;
    run.date = date;
    row.text(C_R_zyo, run.course);
    row.whole(C_R_no, run.raceNumber);
    row.text(C_R_name, run.raceName);
    row.text(C_R_class, run.raceClass);
    row.whole(C_R_kyori, run.distance);
    row.whole(C_R_baba, run.going);
    row.text(C_R_zyo02, run.secondCourse);
    row.whole(C_U_waku, run.bracket);
    row.whole(C_U_no, run.horseNumber);
    row.whole(C_U_ninki, run.popularity);
    row.whole(C_U_cyaku, run.finish);
    row.whole(C_R_tousuu, run.fieldSize);
    row.single(C_U_time, run.time);
    row.single(C_U_cyakusa, run.margin);
    row.single(C_U_3f, run.last3f);
    row.whole(C_U_taizyu, run.bodyWeight);
    row.text(C_U_kisyu, run.jockey);
    row.single(C_U_hutan, run.weightCarried);
    row.text(C_U_cyoukyou, run.trainer);
    row.whole(C_R_siba, run.surface);
    // Corner n of the store comes from the column "U_tuka0n".
    for (int corner = 1; corner < kCornerSlots; ++corner)
        row.whole(static_cast<Column>(C_U_tuka01 + corner - 1), run.cornerPositions[corner]);
    return run;
}

struct StatementDeleter {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

QString errorOf(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("the database is not open");
}

void bindText(sqlite3_stmt *statement, int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

}  // namespace

// The merge query, prepared on first use and kept: preparing the join costs about
// half as much as running it. The rows are read on the database's native
// connection: Qt would convert every column of every row of "SELECT *" to a
// QVariant, which doubled the merge's time.
struct NarMerge::Query {
    Statement statement;

    // Adds up to `room` local runs of runner h, newest first, and the name as the
    // database spells it to *name. False when the query failed; *error says why.
    bool fetch(const RaceStore &store, int h, Database &nar, std::size_t room, std::vector<Run> &runs,
        QString *name, QString *error)
    {
        sqlite3 *db = nar.nativeHandle();
        if (!statement) {
            sqlite3_stmt *prepared = nullptr;
            if (!db
                || sqlite3_prepare_v3(db, kMergeSql, -1, SQLITE_PREPARE_PERSISTENT, &prepared, nullptr)
                    != SQLITE_OK) {
                sqlite3_finalize(prepared);
                *error = errorOf(db);
                return false;
            }
            statement.reset(prepared);
        }
        sqlite3_stmt *query = statement.get();
        bindText(query, 1, store.horses[h].name);
        bindText(query, 2, QString::fromStdString(storedDay(store.raceDate)));
        bindText(query, 3, QString::fromStdString(storedDay(store.raceDate - kHistoryDays)));

        const RowReader row(query);
        int status = SQLITE_ROW;
        while (runs.size() < room && (status = sqlite3_step(query)) == SQLITE_ROW) {
            const auto date = row.date(C_R_date);
            if (!date || !(*date > 0))
                continue;
            runs.push_back(runFromRow(row, *date));
            row.text(C_U_name, *name);
        }
        const bool ok = status == SQLITE_ROW || status == SQLITE_DONE;
        if (!ok)
            *error = errorOf(db);
        // Ends the read, so the statement holds nothing between runners.
        sqlite3_reset(query);
        sqlite3_clear_bindings(query);
        return ok;
    }
};

NarMerge::NarMerge(Database &nar)
    : nar_(nar)
    , query_(std::make_unique<Query>())
{ }

NarMerge::~NarMerge() = default;

void NarMerge::merge(RaceStore &store, qint32 h, MessageSink &messages)
{
    if (!isHorseNumber(h))
        return;

    // The runs already in the store, in their order, then the local ones.
    std::vector<Run> runs;
    runs.reserve(kMaxRuns);
    for (int r = 1; r <= kMaxRuns; ++r) {
        if (store.horses[h].runs[r].date > 0)
            runs.push_back(store.horses[h].runs[r]);
    }

    // A nameless runner would match every nameless row; it has no local runs.
    if (!store.horses[h].name.isEmpty()) {
        std::vector<Run> local;
        QString name = store.horses[h].name;
        QString error;
        if (!query_->fetch(store, h, nar_, kMaxRuns - runs.size(), local, &name, &error)) {
            messages.message(
                QStringLiteral("地方競馬の成績が読み込めません（%1）: %2").arg(nar_.sourcePath(), error));
            store.gaps.missing[size_t(h)] = QStringLiteral("地方競馬の成績が読み込めません: %1").arg(error);
            return;
        }
        runs.insert(runs.end(), local.begin(), local.end());
        store.horses[h].name = name;
    }

    std::stable_sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.date > b.date; });
    const Run absent;
    for (int r = 1; r <= kMaxRuns; ++r)
        store.horses[h].runs[r] = r <= static_cast<int>(runs.size()) ? runs[r - 1] : absent;
}

void readNar(RaceStore &store, qint32 h, Database *nar, MessageSink &messages)
{
    if (nar != nullptr)
        NarMerge(*nar).merge(store, h, messages);
}

}  // namespace marunoki
