#pragma once
// The reference tables behind the speed figures: the daily track variants
// (T_sisuu) and the average times (T_avetime) of one database file, and its issue
// date (version). marunoki.dat holds them for central racing, NAR_data.mdb for
// local racing.
//
// Every lookup takes the first row the query returns; no row means the value is
// missing, which is not an error. The statements are prepared once and reused
// (the analysis of one race makes about 1,800 lookups). All values are bound.
// Track variants are read one race day at a time, and answers are remembered for
// the life of the object: make one per analysis, not one for the program's
// life, so that a replaced file is read afresh. A failed query is not
// remembered. Use from the thread that opened the database, which must outlive
// this object.

#include "app/result.h"

#include <QString>

#include <memory>
#include <optional>

namespace marunoki {

class Database;

// One lookup's answer: ok = the query ran; value = the first row's column, or
// nothing when there was no row.
struct [[nodiscard]] Lookup {
    bool ok = false;
    std::optional<float> value;
    QString error;  // when !ok
};

// A track database file opened for one load, read through once (SQLite's quick
// check of every page) so that a file that is missing, refused, cut short or
// damaged is refused before any figure is computed, not one lookup at a time.
// The caller must see db/database.h (the result owns the Database).
// On failure the status says why, in Japanese, without the file's name.
using OpenedTrackFile = Result<std::unique_ptr<Database>>;
OpenedTrackFile openTrackFile(const QString &path);

class TrackDatabase {
public:
    enum class Kind { Central, Local };

    // Uses (does not own) an open database. Local adds A_sin_kyu = 1 to the
    // average-time lookup.
    TrackDatabase(Database &db, Kind kind);
    ~TrackDatabase();
    TrackDatabase(const TrackDatabase &) = delete;
    TrackDatabase &operator=(const TrackDatabase &) = delete;

    // Issue date of the track data (serial day count), 0 when the table is empty;
    // nothing when the query fails (no such table).
    std::optional<double> issueDate();

    // S_sisuu of the run's day, course and surface.
    Lookup trackVariant(double runDate, const QString &course, qint32 surface);
    // A_time of class 'ave' for the distance, course and surface.
    Lookup averageTime(qint32 distance, const QString &course, qint32 surface);

private:
    struct Statements;
    Database &db_;
    Kind kind_;
    std::unique_ptr<Statements> statements_;
};

}  // namespace marunoki
