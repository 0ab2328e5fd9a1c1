#include "support/fixture_databases.h"

#include "app/format.h"
#include "db/stored_date.h"

#include "support/sample_race.h"
#include "support/sqlite_file.h"

#include <set>
#include <tuple>

namespace marunoki::test {

namespace {

QString dayText(int daysBefore)
{
    const double raceDay = *serialFromYmd(2026, 11, 29);
    return QString::fromStdString(storedDay(raceDay - daysBefore));
}

}  // namespace

void writeSampleTrackDb(const QString &path)
{
    SqliteFile file(path);
    createTrackTables(file);
    file.exec(QStringLiteral("INSERT INTO version VALUES (?)"), {dayText(7)});
    std::set<std::tuple<int, int, int>> seen;
    QList<QVariantList> variants, averages;
    for (const SampleTrackKey &key : sampleTrackKeys()) {
        const QString course = QStringLiteral("%1").arg(key.course, 2, 10, QChar(u'0'));
        // Variants between -0.4 and +0.4 s, different from day to day.
        const double variant = ((key.daysBefore / 7) % 5 - 2) * 0.2;
        variants.append({dayText(key.daysBefore), course, key.surface, variant});
        if (seen.insert({key.distance, key.course, key.surface}).second)
            averages.append({key.distance, course, key.surface, key.averageTime});
    }
    file.insertRows(QStringLiteral("INSERT INTO T_sisuu VALUES (?, ?, ?, ?)"), variants);
    file.insertRows(QStringLiteral("INSERT INTO T_avetime VALUES ('ave', ?, ?, ?, ?, 1)"), averages);
}

void writeSampleNarDb(const QString &path, const std::vector<LocalRun> &runs)
{
    SqliteFile file(path);
    file.exec(QStringLiteral(
        "CREATE TABLE T_Rdata(R_code TEXT, R_date TEXT, R_zyo TEXT, R_no INTEGER, R_name TEXT, "
        "R_class TEXT, R_kyori INTEGER, R_baba INTEGER, R_zyo02 TEXT, R_tousuu INTEGER, "
        "R_siba INTEGER)"));
    file.exec(
        QStringLiteral("CREATE TABLE T_Useiseki(R_code TEXT, U_name TEXT, U_kisyu TEXT, U_waku INTEGER, "
                       "U_no INTEGER, U_ninki INTEGER, U_cyaku INTEGER, U_time REAL, U_cyakusa REAL, "
                       "U_3f REAL, U_taizyu INTEGER, U_hutan REAL, U_cyoukyou TEXT, U_tuka01 INTEGER, "
                       "U_tuka02 INTEGER, U_tuka03 INTEGER, U_tuka04 INTEGER)"));
    createTrackTables(file);
    int code = 0;
    for (const LocalRun &run : runs) {
        const QString key = QStringLiteral("L%1").arg(++code);
        file.exec(
            QStringLiteral("INSERT INTO T_Rdata VALUES (?, ?, '大井', 11, '見本特別', 'C1', 1600, 1, '外', "
                           "12, 0)"),
            {key, dayText(run.daysBefore)});
        file.exec(
            QStringLiteral("INSERT INTO T_Useiseki VALUES (?, ?, '見本騎手', 3, 5, 2, 4, ?, 0.3, ?, 480, "
                           "56.0, '見本厩舎', 6, 5, 4, 3)"),
            {key, run.name, run.time, run.last3f});
        file.exec(
            QStringLiteral("INSERT INTO T_sisuu VALUES (?, '大井', 0, 0.5)"), {dayText(run.daysBefore)});
    }
    file.exec(QStringLiteral("INSERT INTO T_avetime VALUES ('ave', 1600, '大井', 0, 102.0, 1)"));
}

}  // namespace marunoki::test
