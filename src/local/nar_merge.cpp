#include "local/nar_merge.h"

#include "app/db/database.h"
#include "app/db/stored_date.h"
#include "app/message_sink.h"
#include "app/race_store.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace marunoki {

namespace {

// Days before the race that still count; the day exactly this far back does not.
constexpr double kWindowDays = 420;

const QString kMergeSql = QStringLiteral(
    "SELECT * FROM T_Rdata LEFT JOIN T_Useiseki ON T_Rdata.R_code = T_Useiseki.R_code "
    "WHERE U_name = ? AND substr(R_date, 1, 10) < ? AND substr(R_date, 1, 10) > ? ORDER BY R_date DESC");

// Every per-run field of the store, so that a run can be moved as a whole.
struct Run {
    double R_date = 0;
    QString R_zyo, R_name, R_class, R_zyo02, U_kisyu, U_cyoukyou;
    qint32 R_no = 0, R_kyori = 0, R_baba = 0, R_siba = 0, R_tousuu = 0;
    qint32 U_waku = 0, U_no = 0, U_ninki = 0, U_cyaku = 0, U_taizyu = 0;
    float U_time = 0, U_cyakusa = 0, U_3f = 0, U_hutan = 0;
    std::array<qint32, kCornerSlots> U_tuka{};
    float U_sisuu = 0, U_agari = 0, U_babasisuu = 0;
};

Run takeRun(const RaceStore &s, int h, int r)
{
    Run run;
    run.R_date = s.R_date[h][r];
    run.R_zyo = s.R_zyo[h][r];
    run.R_name = s.R_name[h][r];
    run.R_class = s.R_class[h][r];
    run.R_zyo02 = s.R_zyo02[h][r];
    run.U_kisyu = s.U_kisyu[h][r];
    run.U_cyoukyou = s.U_cyoukyou[h][r];
    run.R_no = s.R_no[h][r];
    run.R_kyori = s.R_kyori[h][r];
    run.R_baba = s.R_baba[h][r];
    run.R_siba = s.R_siba[h][r];
    run.R_tousuu = s.R_tousuu[h][r];
    run.U_waku = s.U_waku[h][r];
    run.U_no = s.U_no[h][r];
    run.U_ninki = s.U_ninki[h][r];
    run.U_cyaku = s.U_cyaku[h][r];
    run.U_taizyu = s.U_taizyu[h][r];
    run.U_time = s.U_time[h][r];
    run.U_cyakusa = s.U_cyakusa[h][r];
    run.U_3f = s.U_3f[h][r];
    run.U_hutan = s.U_hutan[h][r];
    run.U_tuka = s.U_tuka[h][r];
    run.U_sisuu = s.U_sisuu[h][r];
    run.U_agari = s.U_agari[h][r];
    run.U_babasisuu = s.U_babasisuu[h][r];
    return run;
}

void putRun(RaceStore &s, int h, int r, const Run &run)
{
    s.R_date[h][r] = run.R_date;
    s.R_zyo[h][r] = run.R_zyo;
    s.R_name[h][r] = run.R_name;
    s.R_class[h][r] = run.R_class;
    s.R_zyo02[h][r] = run.R_zyo02;
    s.U_kisyu[h][r] = run.U_kisyu;
    s.U_cyoukyou[h][r] = run.U_cyoukyou;
    s.R_no[h][r] = run.R_no;
    s.R_kyori[h][r] = run.R_kyori;
    s.R_baba[h][r] = run.R_baba;
    s.R_siba[h][r] = run.R_siba;
    s.R_tousuu[h][r] = run.R_tousuu;
    s.U_waku[h][r] = run.U_waku;
    s.U_no[h][r] = run.U_no;
    s.U_ninki[h][r] = run.U_ninki;
    s.U_cyaku[h][r] = run.U_cyaku;
    s.U_taizyu[h][r] = run.U_taizyu;
    s.U_time[h][r] = run.U_time;
    s.U_cyakusa[h][r] = run.U_cyakusa;
    s.U_3f[h][r] = run.U_3f;
    s.U_hutan[h][r] = run.U_hutan;
    s.U_tuka[h][r] = run.U_tuka;
    s.U_sisuu[h][r] = run.U_sisuu;
    s.U_agari[h][r] = run.U_agari;
    s.U_babasisuu[h][r] = run.U_babasisuu;
}

// Reads the columns of the current row by name. A column that is missing, Null or
// not convertible to the field's type leaves the field as it is.
class RowReader {
public:
    explicit RowReader(const QSqlQuery &query) : query_(query), record_(query.record()) {}

    void text(const char *column, QString &field) const
    {
        const QVariant value = at(column);
        if (!value.isNull())
            field = value.toString();
    }
    void whole(const char *column, qint32 &field) const
    {
        if (const auto number = numberAt(column);
            number && std::fabs(*number) <= double(std::numeric_limits<qint32>::max()))
            field = static_cast<qint32>(std::nearbyint(*number));  // halves to even
    }
    void single(const char *column, float &field) const
    {
        if (const auto number = numberAt(column); number && std::fabs(*number) <= std::numeric_limits<float>::max())
            field = static_cast<float>(*number);
    }
    std::optional<double> date(const char *column) const
    {
        const QVariant value = at(column);
        if (value.isNull())
            return std::nullopt;
        return serialFromStored(value.toString().toStdString());
    }

private:
    QVariant at(const char *column) const
    {
        const int index = record_.indexOf(QLatin1String(column));
        return index < 0 ? QVariant() : query_.value(index);
    }
    std::optional<double> numberAt(const char *column) const
    {
        const QVariant value = at(column);
        bool ok = false;
        const double number = value.isNull() ? 0.0 : value.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            return std::nullopt;
        return number;
    }

    const QSqlQuery &query_;
    QSqlRecord record_;
};

Run runFromRow(const RowReader &row, double date)
{
    Run run;
    run.R_date = date;
    row.text("R_zyo", run.R_zyo);
    row.whole("R_no", run.R_no);
    row.text("R_name", run.R_name);
    row.text("R_class", run.R_class);
    row.whole("R_kyori", run.R_kyori);
    row.whole("R_baba", run.R_baba);
    row.text("R_zyo02", run.R_zyo02);
    row.whole("U_waku", run.U_waku);
    row.whole("U_no", run.U_no);
    row.whole("U_ninki", run.U_ninki);
    row.whole("U_cyaku", run.U_cyaku);
    row.whole("R_tousuu", run.R_tousuu);
    row.single("U_time", run.U_time);
    row.single("U_cyakusa", run.U_cyakusa);
    row.single("U_3f", run.U_3f);
    row.whole("U_taizyu", run.U_taizyu);
    row.text("U_kisyu", run.U_kisyu);
    row.single("U_hutan", run.U_hutan);
    row.text("U_cyoukyou", run.U_cyoukyou);
    row.whole("R_siba", run.R_siba);
    static const std::array<const char *, 5> corners = {nullptr, "U_tuka01", "U_tuka02", "U_tuka03", "U_tuka04"};
    for (int corner = 1; corner < kCornerSlots; ++corner)
        row.whole(corners[corner], run.U_tuka[corner]);
    return run;
}

// Adds up to `room` local runs of runner h, newest first, and the name as the
// database spells it to *name. False when the query failed; *error then says why.
bool fetchLocalRuns(const RaceStore &store, int h, Database &nar, std::size_t room, std::vector<Run> &runs,
                    QString *name, QString *error)
{
    QSqlQuery query(nar.connection());
    query.setForwardOnly(true);
    if (!query.prepare(kMergeSql)) {
        *error = query.lastError().text();
        return false;
    }
    query.addBindValue(store.U_name[h]);
    query.addBindValue(QString::fromStdString(storedDay(store.raceDate)));
    query.addBindValue(QString::fromStdString(storedDay(store.raceDate - kWindowDays)));
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    const RowReader row(query);
    while (runs.size() < room && query.next()) {
        const auto date = row.date("R_date");
        if (!date || !(*date > 0))
            continue;
        runs.push_back(runFromRow(row, *date));
        row.text("U_name", *name);
    }
    if (query.lastError().isValid()) {
        *error = query.lastError().text();
        return false;
    }
    return true;
}

}  // namespace

void readNar(RaceStore &store, Database *nar, MessageSink &messages)
{
    const int h = store.curUma;
    if (nar == nullptr || h < 1 || h > kMaxRunners)
        return;

    // The runs already in the store, in their order, then the local ones.
    std::vector<Run> runs;
    runs.reserve(kMaxRuns);
    for (int r = 1; r <= kMaxRuns; ++r) {
        if (store.R_date[h][r] > 0)
            runs.push_back(takeRun(store, h, r));
    }

    // A nameless runner would match every nameless row; it has no local runs.
    if (!store.U_name[h].isEmpty()) {
        std::vector<Run> local;
        QString name = store.U_name[h];
        QString error;
        if (!fetchLocalRuns(store, h, *nar, kMaxRuns - runs.size(), local, &name, &error)) {
            messages.message(QStringLiteral("地方競馬の成績が読み込めません（%1）: %2").arg(nar->sourcePath(), error));
            return;
        }
        runs.insert(runs.end(), local.begin(), local.end());
        store.U_name[h] = name;
    }

    std::stable_sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.R_date > b.R_date; });
    const Run absent;
    for (int r = 1; r <= kMaxRuns; ++r)
        putRun(store, h, r, r <= static_cast<int>(runs.size()) ? runs[r - 1] : absent);
}

}  // namespace marunoki
