#include "journal/journal.h"

#include "app/format.h"
#include "app/race_store.h"
#include "app/regular_file.h"
#include "journal/sqlite_statement.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <sys/stat.h>

#include <QUrl>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <set>

namespace marunoki {

using journal_sql::Statement;

namespace {

const std::array<QString, kMarkCount> kMarkSymbols = {QStringLiteral("◎"), QStringLiteral("○"),
    QStringLiteral("▲"), QStringLiteral("△"), QStringLiteral("☆"), QStringLiteral("×")};

const QString kCannotWrite = QStringLiteral("に書き込めません");
const QString kCannotRead = QStringLiteral("を読めません");

// What a page shows for a run it lists without a finishing position.
const QString kNoFinish = QStringLiteral("取消・除外（着順なし）");

// Plausible bounds of a result's seconds: a finishing time (1000 m flat to a
// long steeplechase) and the last three furlongs.
constexpr double kShortestTime = 40, kLongestTime = 400;
constexpr double kShortestLast3f = 25, kLongestLast3f = 60;

QString isoDate(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

QString nowText()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}

QDate dateOfSerial(double serial)
{
    const Ymd ymd = ymdFromSerial(serial);
    return QDate(ymd.year, ymd.month, ymd.day);
}

// Surface of the race from its conditions line ("芝1600m", "ダ1200m", "障3000m"):
// 1 turf, 0 dirt, 2 obstacle, nothing when the line names none.
std::optional<int> surfaceOf(const QString &conditions)
{
    if (conditions.contains(u'障'))
        return 2;
    if (conditions.contains(u'芝'))
        return 1;
    if (conditions.contains(u'ダ'))
        return 0;
    return std::nullopt;
}

// 1 + the runners with a strictly higher value; nothing without runs counted.
std::optional<int> rankIn(const RaceStore &store, Statistic Runner::*statistic, int n)
{
    const Statistic &own = store.horses[n].*statistic;
    if (own.runs <= 0)
        return std::nullopt;
    int rank = 1;
    for (const qint32 other : store.runners()) {
        const Statistic &theirs = store.horses[other].*statistic;
        if (theirs.runs > 0 && theirs.value > own.value)
            ++rank;
    }
    return rank;
}

// The schema, one step per version. Each runs inside the transaction that
// also sets user_version.
const char *const kMigrateV0ToV1 = R"sql(
CREATE TABLE race (
    id INTEGER PRIMARY KEY,
    site INTEGER NOT NULL,
    race_date TEXT NOT NULL,
    course TEXT NOT NULL,
    meeting INTEGER NOT NULL,
    day INTEGER NOT NULL,
    race_no INTEGER NOT NULL,
    title TEXT, conditions TEXT, surface INTEGER, distance INTEGER, field_size INTEGER,
    graph_base INTEGER, rentai_kizyun REAL, share REAL, site_base TEXT, analysed_at TEXT,
    UNIQUE (site, race_date, course, meeting, day, race_no));
CREATE INDEX race_by_date ON race (race_date);
CREATE TABLE runner (
    race_id INTEGER NOT NULL,
    number INTEGER NOT NULL,
    bracket INTEGER, name TEXT, horse_url TEXT NOT NULL, jockey TEXT, weight REAL,
    figure_count INTEGER, mean REAL, best REAL, mean90 REAL, best90 REAL, style REAL,
    rank_mean INTEGER, rank_best INTEGER, rank_mean90 INTEGER,
    PRIMARY KEY (race_id, number)) WITHOUT ROWID;
CREATE INDEX runner_by_horse ON runner (horse_url);
CREATE TABLE result (
    race_id INTEGER NOT NULL,
    number INTEGER NOT NULL,
    horse_url TEXT NOT NULL,
    finish INTEGER, popularity INTEGER, field_size INTEGER, time REAL, last3f REAL,
    not_run TEXT, recorded_at TEXT,
    PRIMARY KEY (race_id, number, horse_url)) WITHOUT ROWID;
)sql";

const char *const kMigrateV1ToV2 = R"sql(
CREATE TABLE mark (
    race_id INTEGER NOT NULL,
    number INTEGER NOT NULL,
    horse_url TEXT NOT NULL,
    mark TEXT NOT NULL CHECK (mark IN ('◎', '○', '▲', '△', '☆', '×')),
    set_at TEXT,
    PRIMARY KEY (race_id, number, horse_url)) WITHOUT ROWID;
)sql";

// Version 3: what became of each runner (FinishKind, 0 = finished) and its win
// odds; how many card rows a load left out; the horse page keyed without
// scheme and host (horse_key, registered on every connection); a per-race
// summary of what the tally reads (made again by the program, cleared by the
// triggers whenever a runner, result or mark of the race changes, whoever
// writes it); and the index the tally's one-race-per-place rule looks up.
const char *const kMigrateV2ToV3 = R"sql(
ALTER TABLE result ADD COLUMN kind INTEGER NOT NULL DEFAULT 0;
ALTER TABLE result ADD COLUMN win_odds REAL;
UPDATE result SET kind = 3 WHERE finish IS NULL;
ALTER TABLE race ADD COLUMN left_out INTEGER NOT NULL DEFAULT 0;
ALTER TABLE race ADD COLUMN tally BLOB;
UPDATE runner SET horse_url = horse_key(horse_url);
UPDATE OR REPLACE result SET horse_url = horse_key(horse_url);
UPDATE OR REPLACE mark SET horse_url = horse_key(horse_url);
CREATE INDEX race_by_place ON race (race_date, course, race_no);
CREATE TRIGGER runner_added AFTER INSERT ON runner BEGIN
    UPDATE race SET tally = NULL WHERE id = NEW.race_id AND tally IS NOT NULL; END;
CREATE TRIGGER runner_changed AFTER UPDATE ON runner BEGIN
    UPDATE race SET tally = NULL WHERE id IN (OLD.race_id, NEW.race_id) AND tally IS NOT NULL; END;
CREATE TRIGGER runner_removed AFTER DELETE ON runner BEGIN
    UPDATE race SET tally = NULL WHERE id = OLD.race_id AND tally IS NOT NULL; END;
CREATE TRIGGER result_added AFTER INSERT ON result BEGIN
    UPDATE race SET tally = NULL WHERE id = NEW.race_id AND tally IS NOT NULL; END;
CREATE TRIGGER result_changed AFTER UPDATE ON result BEGIN
    UPDATE race SET tally = NULL WHERE id IN (OLD.race_id, NEW.race_id) AND tally IS NOT NULL; END;
CREATE TRIGGER result_removed AFTER DELETE ON result BEGIN
    UPDATE race SET tally = NULL WHERE id = OLD.race_id AND tally IS NOT NULL; END;
CREATE TRIGGER mark_added AFTER INSERT ON mark BEGIN
    UPDATE race SET tally = NULL WHERE id = NEW.race_id AND tally IS NOT NULL; END;
CREATE TRIGGER mark_changed AFTER UPDATE ON mark BEGIN
    UPDATE race SET tally = NULL WHERE id IN (OLD.race_id, NEW.race_id) AND tally IS NOT NULL; END;
CREATE TRIGGER mark_removed AFTER DELETE ON mark BEGIN
    UPDATE race SET tally = NULL WHERE id = OLD.race_id AND tally IS NOT NULL; END;
)sql";

const std::array<const char *, Journal::kSchemaVersion> kMigrations
    = {kMigrateV0ToV1, kMigrateV1ToV2, kMigrateV2ToV3};

// horse_key(address) for the SQL of the migration.
void horseKeyFunction(sqlite3_context *context, int, sqlite3_value **values)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(values[0]));
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray key = horseKey(QString::fromUtf8(text)).toUtf8();
    sqlite3_result_text(context, key.constData(), int(key.size()), SQLITE_TRANSIENT);
}

// The tally summary of a race: a version byte, the three figures' leads
// (float, NaN = none), then per runner a fixed record, little-endian.
constexpr char kSummaryVersion = 1;
constexpr int kSummaryHead = 1 + 3 * 4;
constexpr int kSummaryRunner = 14;
enum SummaryFlag : quint8 { kHasResult = 1, kHasFinish = 2, kHasOdds = 4 };

quint8 byteOf(std::optional<int> value)
{
    return quint8(std::clamp(value.value_or(0), 0, 255));
}

std::optional<int> optionalByte(quint8 value)
{
    return value ? std::optional<int>(value) : std::nullopt;
}

void putFloat(QByteArray &bytes, double value)
{
    const float f = float(value);
    quint32 bits;
    std::memcpy(&bits, &f, 4);
    for (int i = 0; i < 4; ++i)
        bytes.append(char((bits >> (8 * i)) & 0xff));
}

double floatAt(const char *p)
{
    quint32 bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= quint32(quint8(p[i])) << (8 * i);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

QByteArray encodeSummary(
    const std::array<std::optional<double>, 3> &lead, const std::vector<TallyRunner> &runners)
{
    QByteArray bytes;
    bytes.reserve(kSummaryHead + kSummaryRunner * qsizetype(runners.size()));
    bytes.append(kSummaryVersion);
    for (const auto &l : lead)
        putFloat(bytes, l.value_or(std::nan("")));
    for (const TallyRunner &r : runners) {
        const quint8 flags
            = (r.hasResult ? kHasResult : 0) | (r.finish ? kHasFinish : 0) | (r.winOdds ? kHasOdds : 0);
        const quint8 fields[] = {byteOf(r.number), byteOf(r.rankMean), byteOf(r.rankBest),
            byteOf(r.rankMean90), flags, quint8(r.kind), byteOf(r.finish), byteOf(r.popularity),
            quint8(r.mark ? int(*r.mark) + 1 : 0), 0};
        bytes.append(reinterpret_cast<const char *>(fields), sizeof fields);
        putFloat(bytes, r.winOdds.value_or(0));
    }
    return bytes;
}

// False for bytes that are not a summary of this version (then the tables are read).
bool decodeSummary(QByteArrayView bytes, TallyRace &race)
{
    if (bytes.size() < kSummaryHead || bytes[0] != kSummaryVersion
        || (bytes.size() - kSummaryHead) % kSummaryRunner != 0)
        return false;
    const char *p = bytes.data() + 1;
    for (auto &l : race.lead) {
        const double value = floatAt(p);
        l = std::isnan(value) ? std::nullopt : std::optional<double>(value);
        p += 4;
    }
    const qsizetype count = (bytes.size() - kSummaryHead) / kSummaryRunner;
    race.runners.resize(size_t(count));
    for (TallyRunner &r : race.runners) {
        const auto *b = reinterpret_cast<const quint8 *>(p);
        if (b[5] > quint8(FinishKind::Demoted) || b[8] > kMarkCount)
            return false;
        r.number = b[0];
        r.rankMean = optionalByte(b[1]);
        r.rankBest = optionalByte(b[2]);
        r.rankMean90 = optionalByte(b[3]);
        r.hasResult = b[4] & kHasResult;
        r.kind = FinishKind(b[5]);
        r.finish = b[4] & kHasFinish ? std::optional<int>(b[6]) : std::nullopt;
        r.popularity = b[7];
        r.mark = b[8] ? std::optional<Mark>(Mark(b[8] - 1)) : std::nullopt;
        r.winOdds = b[4] & kHasOdds ? std::optional<double>(floatAt(p + 10)) : std::nullopt;
        p += kSummaryRunner;
    }
    return true;
}

bool isDamage(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Whether the file starts as every SQLite database does.
bool hasSqliteHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

}  // namespace

QString markSymbol(Mark mark)
{
    return kMarkSymbols[size_t(mark)];
}

bool isSingleMark(Mark mark)
{
    return mark == Mark::Honmei || mark == Mark::Taikou || mark == Mark::Tanana;
}

std::optional<Mark> markOfSymbol(const QString &symbol)
{
    for (int i = 0; i < kMarkCount; ++i) {
        if (kMarkSymbols[size_t(i)] == symbol)
            return Mark(i);
    }
    return std::nullopt;
}

std::optional<std::pair<FinishKind, std::optional<int>>> finishOfCell(const QString &cell)
{
    QString text = cell;
    text.remove(u' ').remove(QChar(0x3000));
    if (const auto position = toWholeNumber(text); position && *position > 0)
        return std::pair(FinishKind::Finished, position);
    static const std::pair<QChar, FinishKind> marks[] = {{u'中', FinishKind::DidNotFinish},
        {u'失', FinishKind::Disqualified}, {u'取', FinishKind::Scratched}, {u'除', FinishKind::Excluded}};
    for (const auto &[mark, kind] : marks) {
        if (text.startsWith(mark))
            return std::pair(kind, std::nullopt);
    }
    // "3(降)", "３（降）": the position after the demotion, then the mark.
    if (text.contains(u'降')) {
        qsizetype digits = 0;
        while (digits < text.size() && text[digits].isDigit())
            ++digits;
        const auto position = toWholeNumber(text.left(digits));
        if (position && *position > 0)
            return std::pair(FinishKind::Demoted, position);
    }
    return std::nullopt;
}

QString implausibleResult(const RunnerResult &result)
{
    if (!ran(result.kind))
        return {};
    if (result.fieldSize <= 0)
        return QStringLiteral("頭数 %1").arg(result.fieldSize);
    if (result.finish && (*result.finish < 1 || *result.finish > result.fieldSize))
        return QStringLiteral("着順 %1 / %2 頭").arg(*result.finish).arg(result.fieldSize);
    if (result.popularity <= 0 || result.popularity > result.fieldSize)
        return QStringLiteral("人気 %1 / %2 頭").arg(result.popularity).arg(result.fieldSize);
    if (result.time != 0 && !(result.time >= kShortestTime && result.time <= kLongestTime))
        return QStringLiteral("タイム %1 秒").arg(result.time);
    if (result.last3f != 0 && !(result.last3f >= kShortestLast3f && result.last3f <= kLongestLast3f))
        return QStringLiteral("上がり3F %1 秒").arg(result.last3f);
    if (result.winOdds && !(*result.winOdds >= 1.0))
        return QStringLiteral("単勝 %1 倍").arg(*result.winOdds);
    return {};
}

QString horseKey(const QString &address)
{
    const qsizetype scheme = address.indexOf(QStringLiteral("://"));
    if (scheme < 0)
        return address;
    const qsizetype path = address.indexOf(u'/', scheme + 3);
    return path < 0 ? QStringLiteral("/") : address.mid(path);
}

QString horseAddress(const QString &key, const QString &recordedBase, const QString &base)
{
    const QString &to = base.isEmpty() ? recordedBase : base;
    if (to.isEmpty() || key.contains(QStringLiteral("://")))
        return key;
    // The recorded base's own path (a site under a folder) is the new base's.
    QString fromPath = horseKey(recordedBase);
    if (fromPath.endsWith(u'/'))
        fromPath.chop(1);
    QString stem = to;
    if (stem.endsWith(u'/'))
        stem.chop(1);
    if (!fromPath.isEmpty() && fromPath != QStringLiteral("/") && key.startsWith(fromPath + u'/'))
        return stem + key.mid(fromPath.size());
    // Otherwise the key sits under the host of the new base.
    const qsizetype scheme = stem.indexOf(QStringLiteral("://"));
    const qsizetype hostEnd = scheme < 0 ? -1 : stem.indexOf(u'/', scheme + 3);
    return (hostEnd < 0 ? stem : stem.left(hostEnd)) + key;
}

RunLookup findResultInRuns(const RaceStore &store, int n, const RaceKey &key)
{
    RunLookup lookup;
    if (!isHorseNumber(n))
        return lookup;
    std::vector<int> sameDay;
    for (int run = 1; run <= kMaxRuns; ++run) {
        if (store.horses[n].runs[run].date > 0 && dateOfSerial(store.horses[n].runs[run].date) == key.date)
            sameDay.push_back(run);
    }
    const auto matches = [&](int run, bool exact) {
        if (store.horses[n].runs[run].course != key.course)
            return false;
        if (exact)
            return store.horses[n].runs[run].raceNumber == key.race;
        return store.horses[n].runs[run].raceNumber <= 0 || key.race <= 0
            || store.horses[n].runs[run].raceNumber == key.race;
    };
    int found = 0;
    for (const int run : sameDay) {
        if (matches(run, sameDay.size() > 1)) {
            found = run;
            break;
        }
    }
    if (found == 0) {
        if (sameDay.size() > 1)
            lookup.refused = QStringLiteral("%1 に %2 走あり、場とレース番号の合うものがありません")
                                 .arg(key.date.toString(Qt::ISODate))
                                 .arg(sameDay.size());
        return lookup;
    }
    if (store.horses[n].runs[found].rowFailed != 0) {
        lookup.refused = QStringLiteral("%1 の行を読めませんでした").arg(key.date.toString(Qt::ISODate));
        return lookup;
    }
    RunnerResult result;
    const QString &cell = store.horses[n].runs[found].finishText;
    if (store.horses[n].runs[found].finish > 0) {
        result.finish = store.horses[n].runs[found].finish;
    } else if (cell.isEmpty()) {
        result.kind = FinishKind::Scratched;
        result.notRun = kNoFinish;
    } else if (const auto finish = finishOfCell(cell)) {
        result.kind = finish->first;
        result.finish = finish->second;
        if (!result.finish)
            result.notRun = cell;
    } else {
        lookup.refused = QStringLiteral("着順「%1」を読めません").arg(cell);
        return lookup;
    }
    result.popularity = store.horses[n].runs[found].popularity;
    result.fieldSize = store.horses[n].runs[found].fieldSize;
    result.time = store.horses[n].runs[found].time;
    result.last3f = store.horses[n].runs[found].last3f;
    if (store.horses[n].runs[found].winOdds > 0 && ran(result.kind))
        result.winOdds = store.horses[n].runs[found].winOdds;
    if (const QString why = implausibleResult(result); !why.isEmpty()) {
        lookup.refused = QStringLiteral("ありえない結果（%1）").arg(why);
        return lookup;
    }
    lookup.result = result;
    return lookup;
}

std::optional<RunnerResult> resultInRuns(const RaceStore &store, int n, const RaceKey &key)
{
    return findResultInRuns(store, n, key).result;
}

Journal::Journal(sqlite3 *db, QString path)
    : db_(db)
    , path_(std::move(path))
{ }

Journal::~Journal()
{
    sqlite3_close_v2(db_);
}

Status Journal::failure(const QString &what, int code) const
{
    if (code == SQLITE_OK)
        code = sqlite3_extended_errcode(db_);
    const int primary = code & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return Status::failure(QStringLiteral("成績ジャーナル %1 %2（%3）").arg(path_, what, busyCause()));
    const QString cause = QString::fromUtf8(sqlite3_errmsg(db_));
    if (isDamage(code))
        return Status::failure(
            QStringLiteral("成績ジャーナル %1 が壊れています（%2）。ファイルはそのまま残します")
                .arg(path_, cause));
    return Status::failure(QStringLiteral("成績ジャーナル %1 %2（%3）").arg(path_, what, cause));
}

QString Journal::busyCause()
{
    return QStringLiteral("ほかのプログラムが書き込み中で、%1 秒待っても空きませんでした")
        .arg(kBusyTimeoutMs / 1000);
}

bool Journal::isBusy(const Status &status)
{
    return !status.ok() && status.message().contains(busyCause());
}

Status Journal::exec(const char *sql)
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return failure(kCannotWrite);
    return Status::success();
}

template <typename Work>
Status Journal::inTransaction(Work work)
{
    if (Status begun = exec("BEGIN IMMEDIATE"); !begun.ok())
        return begun;
    Status done = work();
    if (done.ok())
        done = exec("COMMIT");
    if (!done.ok())
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return done;
}

int Journal::schemaVersion() const
{
    Statement version(db_, "PRAGMA user_version");
    return version.step() == SQLITE_ROW ? version.integer(0) : -1;
}

Status Journal::migrate(int from)
{
    for (int version = from; version < kSchemaVersion; ++version) {
        const Status step = inTransaction([&] {
            // Another program may have migrated while this one waited for the lock.
            if (schemaVersion() != version)
                return Status::success();
            if (version == 0) {
                const QByteArray id = "PRAGMA application_id = " + QByteArray::number(kApplicationId);
                if (Status set = exec(id.constData()); !set.ok())
                    return set;
            }
            if (Status made = exec(kMigrations[size_t(version)]); !made.ok())
                return made;
            if (version == 2) {
                if (Status summed = refreshTallySummaries().status; !summed.ok())
                    return summed;
            }
            const QByteArray bump = "PRAGMA user_version = " + QByteArray::number(version + 1);
            return exec(bump.constData());
        });
        if (!step.ok())
            return step;
    }
    return Status::success();
}

Journal::Opened Journal::connect(const QString &path, int flags)
{
    sqlite3 *db = nullptr;
    const int rc
        = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<Journal> journal(new Journal(db, path));
    if (rc != SQLITE_OK)
        return {nullptr, journal->failure((flags & SQLITE_OPEN_READONLY) ? kCannotRead : kCannotWrite)};
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_create_function_v2(db, "horse_key", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
        &horseKeyFunction, nullptr, nullptr, nullptr);
    return {std::move(journal), Status::success()};
}

Status Journal::checkIsOurs() const
{
    const QString notOurs
        = QStringLiteral("%1 は成績ジャーナルではありません。ファイルはそのまま残します").arg(path_);
    Statement id(db_, "PRAGMA application_id");
    Statement tables(db_, "SELECT count(*) FROM sqlite_master");
    const int idRc = id.step();
    const int tablesRc = tables.step();
    if (idRc != SQLITE_ROW || tablesRc != SQLITE_ROW) {
        if ((isDamage(idRc) || isDamage(tablesRc)) && !hasSqliteHeader(path_))
            return Status::failure(notOurs);
        return failure(kCannotRead, isDamage(idRc) ? idRc : tablesRc);
    }
    const int appId = id.integer(0);
    const bool empty = tables.integer(0) == 0;
    const int version = schemaVersion();
    // An empty file is made a journal only when nothing else claimed it: an
    // empty database with a schema version of its own is some other program's.
    if (appId != kApplicationId && !(appId == 0 && empty && version == 0))
        return Status::failure(notOurs);
    if (version > kSchemaVersion)
        return Status::failure(
            QStringLiteral("成績ジャーナル %1 はこのプログラムより新しい版（%2）で書かれています。"
                           "ファイルはそのまま残します")
                .arg(path_)
                .arg(version));
    if (version < 0)
        return failure(kCannotRead);
    return Status::success();
}

Journal::Opened Journal::open(const QString &path)
{
    // The file is examined through a connection that cannot write, so that a
    // file refused is left exactly as it is: a writing connection would, on
    // closing, checkpoint its -wal into it and remove the side files. Only a
    // regular file is opened (opening a FIFO to read would wait for a writer).
    const QByteArray name = QFile::encodeName(path);
    struct stat info { };
    const bool exists = ::stat(name.constData(), &info) == 0;
    if (exists) {
        if (!S_ISREG(info.st_mode)) {
            // What the path names instead (a FIFO, a folder …), found without opening it.
            const Status kind = readRegularFile(path, 0).status;
            return {nullptr,
                Status::failure(
                    QStringLiteral("成績ジャーナル %1 は%2。そのまま残します")
                        .arg(path,
                            kind.ok() ? QStringLiteral("通常のファイルではありません") : kind.message()))};
        }
        Opened check = connect(path, SQLITE_OPEN_READONLY);
        if (!check.value)
            return check;
        if (Status ours = check.value->checkIsOurs(); !ours.ok())
            return {nullptr, ours};
    }

    Opened opened = connect(path, SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE));
    if (!opened.value)
        return opened;
    Journal &journal = *opened.value;
    Statement wal(journal.db_, "PRAGMA journal_mode = WAL");
    if (wal.step() != SQLITE_ROW || wal.text(0) != QStringLiteral("wal"))
        return {nullptr, journal.failure(kCannotWrite)};
    wal.reset();
    if (Status sync = journal.exec("PRAGMA synchronous = NORMAL"); !sync.ok())
        return {nullptr, sync};
    // migrate() looks at the version again under the write lock of each step.
    const int version = journal.schemaVersion();
    if (version < 0)
        return {nullptr, journal.failure(kCannotRead)};
    if (Status migrated = journal.migrate(version); !migrated.ok())
        return {nullptr, migrated};
    return opened;
}

Status Journal::recordRace(const RaceKey &key, const RaceStore &store, float share, const QString &siteBase)
{
    return inTransaction([&] {
        Statement race(db_, R"sql(
            INSERT INTO race (site, race_date, course, meeting, day, race_no, title, conditions, surface,
                              distance, field_size, graph_base, rentai_kizyun, share, site_base, analysed_at,
                              left_out)
            VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)
            ON CONFLICT (site, race_date, course, meeting, day, race_no) DO UPDATE SET
                title = excluded.title, conditions = excluded.conditions, surface = excluded.surface,
                distance = excluded.distance, field_size = excluded.field_size,
                graph_base = excluded.graph_base, rentai_kizyun = excluded.rentai_kizyun,
                share = excluded.share, site_base = excluded.site_base, analysed_at = excluded.analysed_at,
                left_out = excluded.left_out
            RETURNING id)sql");
        race.bind(1, key.site);
        race.bind(2, isoDate(key.date));
        race.bind(3, key.course);
        race.bind(4, key.meeting);
        race.bind(5, key.day);
        race.bind(6, key.race);
        race.bind(7, store.raceTitle);
        race.bind(8, store.raceConditions);
        race.bind(9, surfaceOf(store.raceConditions));
        race.bind(10, store.isRunner(1) ? store.horses[1].runs[0].distance : 0);
        race.bind(11, store.runnerCount());
        race.bind(12, store.graphBase);
        race.bind(13, double(store.referenceFigure));
        race.bind(14, double(share));
        race.bind(15, siteBase);
        race.bind(16, nowText());
        race.bind(17, int(store.gaps.leftOut.size()));
        if (race.step() != SQLITE_ROW)
            return failure(kCannotWrite);
        const qint64 raceId = race.int64(0);
        race.reset();

        Statement clear(db_, "DELETE FROM runner WHERE race_id = ?1");
        clear.bind(1, raceId);
        if (!clear.run())
            return failure(kCannotWrite);
        Statement runner(db_, R"sql(
            INSERT INTO runner (race_id, number, bracket, name, horse_url, jockey, weight, figure_count,
                                mean, best, mean90, best90, style, rank_mean, rank_best, rank_mean90)
            VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16))sql");
        const auto statistic = [](const Statistic &value) {
            return value.runs > 0 ? std::optional<double>(value.value) : std::nullopt;
        };
        for (const qint32 n : store.runners()) {
            const Runner &horse = store.horses[n];
            const Run &today = horse.runs[0];
            runner.bind(1, raceId);
            runner.bind(2, n);
            runner.bind(3, today.bracket);
            runner.bind(4, horse.name);
            runner.bind(5, horseKey(horse.pageAddress.isNull() ? QStringLiteral("") : horse.pageAddress));
            runner.bind(6, today.jockey);
            runner.bind(7, double(today.weightCarried));
            runner.bind(8, int(horse.meanFigure.runs));
            runner.bind(9, statistic(horse.meanFigure));
            runner.bind(10, statistic(horse.bestFigure));
            runner.bind(11, statistic(horse.recentMeanFigure));
            runner.bind(12, statistic(horse.recentBestFigure));
            runner.bind(13, statistic(horse.runningStyle));
            runner.bind(14, rankIn(store, &Runner::meanFigure, n));
            runner.bind(15, rankIn(store, &Runner::bestFigure, n));
            runner.bind(16, rankIn(store, &Runner::recentMeanFigure, n));
            if (!runner.run())
                return failure(kCannotWrite);
        }
        return refreshSummary(raceId);
    });
}

Result<int> Journal::fillResultsFromRuns(int site, const RaceStore &store)
{
    Result<int> filled;
    filled.status = inTransaction([&] {
        Statement pending(db_, R"sql(
            SELECT r.id, r.race_date, r.course, r.race_no, u.number
            FROM runner u JOIN race r ON r.id = u.race_id
            LEFT JOIN result s ON s.race_id = u.race_id AND s.number = u.number AND s.horse_url = u.horse_url
            WHERE u.horse_url = ?1 AND r.site = ?2 AND r.race_date < ?3 AND s.race_id IS NULL)sql");
        const QString storeDate = isoDate(dateOfSerial(store.raceDate));
        struct Found {
            qint64 raceId;
            int number;
            QString url;
            RunnerResult result;
        };
        std::vector<Found> found;
        for (const qint32 n : store.runners()) {
            if (store.horses[n].pageAddress.isEmpty())
                continue;
            const QString key = horseKey(store.horses[n].pageAddress);
            pending.bind(1, key);
            pending.bind(2, site);
            pending.bind(3, storeDate);
            int rc;
            while ((rc = pending.step()) == SQLITE_ROW) {
                RaceKey race;
                race.site = site;
                race.date = QDate::fromString(pending.text(1), Qt::ISODate);
                race.course = pending.text(2);
                race.race = pending.integer(3);
                if (const auto result = resultInRuns(store, n, race))
                    found.push_back({pending.int64(0), pending.integer(4), key, *result});
            }
            pending.reset();
            if (rc != SQLITE_DONE)
                return failure(kCannotRead);
        }
        std::set<qint64> races;
        for (const Found &f : found) {
            if (Status recorded = writeResult(f.raceId, f.number, f.url, f.result); !recorded.ok())
                return recorded;
            races.insert(f.raceId);
        }
        for (const qint64 race : races) {
            if (Status summed = refreshSummary(race); !summed.ok())
                return summed;
        }
        filled.value = int(found.size());
        return Status::success();
    });
    return filled;
}

Result<std::vector<PendingRunner>> Journal::pendingResults(
    std::optional<QDate> since, std::optional<QDate> until, QDate lastRun)
{
    Result<std::vector<PendingRunner>> read;
    Statement pending(db_, R"sql(
        SELECT r.id, r.site, r.race_date, r.course, r.meeting, r.day, r.race_no, r.title, r.site_base,
               u.number, u.name, u.horse_url
        FROM race r JOIN runner u ON u.race_id = r.id
        LEFT JOIN result s ON s.race_id = u.race_id AND s.number = u.number AND s.horse_url = u.horse_url
        WHERE s.race_id IS NULL AND u.horse_url <> '' AND r.race_date <= ?3
          AND (?1 IS NULL OR r.race_date >= ?1) AND (?2 IS NULL OR r.race_date <= ?2)
        ORDER BY r.race_date, r.site, r.course, r.meeting, r.day, r.race_no, u.number)sql");
    pending.bind(1, since ? isoDate(*since) : QString());
    pending.bind(2, until ? isoDate(*until) : QString());
    pending.bind(3, isoDate(lastRun));
    int rc;
    while ((rc = pending.step()) == SQLITE_ROW) {
        PendingRunner p;
        p.raceId = pending.int64(0);
        p.key = {pending.integer(1), QDate::fromString(pending.text(2), Qt::ISODate), pending.text(3),
            pending.integer(4), pending.integer(5), pending.integer(6)};
        p.title = pending.text(7);
        p.siteBase = pending.text(8);
        p.number = pending.integer(9);
        p.name = pending.text(10);
        p.horseUrl = pending.text(11);
        read.value.push_back(std::move(p));
    }
    if (rc != SQLITE_DONE)
        read.status = failure(kCannotRead);
    return read;
}

Status Journal::recordResult(qint64 raceId, int number, const QString &horseUrl, const RunnerResult &result)
{
    return inTransaction([&] {
        if (Status written = writeResult(raceId, number, horseUrl, result); !written.ok())
            return written;
        return refreshSummary(raceId);
    });
}

Status Journal::writeResult(qint64 raceId, int number, const QString &horseUrl, const RunnerResult &result)
{
    Statement insert(db_, R"sql(
        INSERT OR REPLACE INTO result (race_id, number, horse_url, finish, popularity, field_size, time,
                                       last3f, not_run, recorded_at, kind, win_odds)
        VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12))sql");
    insert.bind(1, raceId);
    insert.bind(2, number);
    insert.bind(3, horseKey(horseUrl));
    insert.bind(4, result.finish);
    insert.bind(5, result.popularity);
    insert.bind(6, result.fieldSize);
    insert.bind(7, result.time);
    insert.bind(8, result.last3f);
    insert.bind(9, result.finish ? QString() : result.notRun);
    insert.bind(10, nowText());
    insert.bind(11, int(result.kind));
    insert.bind(12, result.winOdds);
    return insert.run() ? Status::success() : failure(kCannotWrite);
}

Result<std::vector<TallyRunner>> Journal::runnersForTally(qint64 raceId)
{
    Result<std::vector<TallyRunner>> read;
    Statement rows(db_, R"sql(
        SELECT u.number, u.rank_mean, u.rank_best, u.rank_mean90,
               s.race_id IS NOT NULL OR u.horse_url = '', s.kind, s.finish, s.popularity, s.win_odds, m.mark
        FROM runner u
        LEFT JOIN result s ON s.race_id = u.race_id AND s.number = u.number AND s.horse_url = u.horse_url
        LEFT JOIN mark m ON m.race_id = u.race_id AND m.number = u.number AND m.horse_url = u.horse_url
        WHERE u.race_id = ?1 ORDER BY u.number)sql");
    rows.bind(1, raceId);
    int rc;
    while ((rc = rows.step()) == SQLITE_ROW) {
        TallyRunner t;
        t.number = rows.integer(0);
        t.rankMean = rows.optionalInt(1);
        t.rankBest = rows.optionalInt(2);
        t.rankMean90 = rows.optionalInt(3);
        // A runner without a page address can never get a result: it does
        // not hold its race back.
        t.hasResult = rows.integer(4) != 0;
        const int kind = rows.integer(5);
        t.kind = kind >= 0 && kind <= int(FinishKind::Demoted) ? FinishKind(kind) : FinishKind::Finished;
        t.finish = rows.optionalInt(6);
        t.popularity = rows.integer(7);
        t.winOdds = rows.optionalReal(8);
        t.mark = rows.isNull(9) ? std::nullopt : markOfSymbol(rows.text(9));
        read.value.push_back(t);
    }
    if (rc != SQLITE_DONE)
        read.status = failure(kCannotRead);
    return read;
}

Result<std::array<std::optional<double>, 3>> Journal::leadsOf(qint64 raceId)
{
    // Each figure's lead: the best value less the second best of the card.
    Result<std::array<std::optional<double>, 3>> read;
    Statement figures(db_, "SELECT mean, best, mean90 FROM runner WHERE race_id = ?1");
    figures.bind(1, raceId);
    std::array<std::vector<double>, 3> values;
    int rc;
    while ((rc = figures.step()) == SQLITE_ROW) {
        for (int f = 0; f < 3; ++f) {
            if (const auto value = figures.optionalReal(f))
                values[size_t(f)].push_back(*value);
        }
    }
    if (rc != SQLITE_DONE) {
        read.status = failure(kCannotRead);
        return read;
    }
    for (size_t f = 0; f < 3; ++f) {
        auto &v = values[f];
        if (v.size() < 2)
            continue;
        std::partial_sort(v.begin(), v.begin() + 2, v.end(), std::greater<>());
        read.value[f] = v[0] - v[1];
    }
    return read;
}

Status Journal::refreshSummary(qint64 raceId)
{
    const auto runners = runnersForTally(raceId);
    if (!runners.status.ok())
        return runners.status;
    const auto lead = leadsOf(raceId);
    if (!lead.status.ok())
        return lead.status;
    Statement store(db_, "UPDATE race SET tally = ?2 WHERE id = ?1");
    store.bind(1, raceId);
    store.bind(2, encodeSummary(lead.value, runners.value));
    return store.run() ? Status::success() : failure(kCannotWrite);
}

Result<int> Journal::refreshTallySummaries()
{
    Result<int> made;
    std::vector<qint64> stale;
    {
        Statement list(db_, "SELECT id FROM race WHERE tally IS NULL");
        int rc;
        while ((rc = list.step()) == SQLITE_ROW)
            stale.push_back(list.int64(0));
        if (rc != SQLITE_DONE) {
            made.status = failure(kCannotRead);
            return made;
        }
    }
    const auto refresh = [&] {
        for (const qint64 id : stale) {
            if (Status summed = refreshSummary(id); !summed.ok())
                return summed;
        }
        return Status::success();
    };
    // Inside the migration's transaction already, or one of its own.
    made.status = sqlite3_get_autocommit(db_) ? inTransaction(refresh) : refresh();
    made.value = made.status.ok() ? int(stale.size()) : 0;
    return made;
}

Result<std::optional<qint64>> Journal::raceId(const RaceKey &key)
{
    Result<std::optional<qint64>> read;
    Statement find(db_, R"sql(
        SELECT id FROM race
        WHERE site = ?1 AND race_date = ?2 AND course = ?3 AND meeting = ?4 AND day = ?5 AND race_no = ?6)sql");
    find.bind(1, key.site);
    find.bind(2, isoDate(key.date));
    find.bind(3, key.course);
    find.bind(4, key.meeting);
    find.bind(5, key.day);
    find.bind(6, key.race);
    const int rc = find.step();
    if (rc == SQLITE_ROW)
        read.value = find.int64(0);
    else if (rc != SQLITE_DONE)
        read.status = failure(kCannotRead);
    return read;
}

Status Journal::setMark(const RaceKey &key, int number, const QString &horseUrl, std::optional<Mark> mark)
{
    return setMarks({{key, number, horseUrl, mark}});
}

Status Journal::setMarks(const std::vector<MarkChange> &changes)
{
    // Prepared once for the whole batch: an import of many thousand rows
    // costs one lookup and one or two writes per row.
    Statement find(db_, R"sql(
        SELECT id FROM race
        WHERE site = ?1 AND race_date = ?2 AND course = ?3 AND meeting = ?4 AND day = ?5 AND race_no = ?6)sql");
    Statement clear(db_, "DELETE FROM mark WHERE race_id = ?1 AND number = ?2 AND horse_url = ?3");
    Statement moveAway(db_, R"sql(
        DELETE FROM mark WHERE race_id = ?1 AND mark = ?2 AND NOT (number = ?3 AND horse_url = ?4))sql");
    Statement set(db_, R"sql(
        INSERT OR REPLACE INTO mark (race_id, number, horse_url, mark, set_at)
        VALUES (?1, ?2, ?3, ?4, ?5))sql");
    const QString now = nowText();
    return inTransaction([&] {
        std::set<qint64> races;
        for (const MarkChange &change : changes) {
            // A runner without a page address is stored with an empty one, as its row is;
            // an address is kept without its scheme and host, as the runner rows keep it.
            const QString horseUrl
                = change.horseUrl.isNull() ? QStringLiteral("") : horseKey(change.horseUrl);
            find.bind(1, change.key.site);
            find.bind(2, isoDate(change.key.date));
            find.bind(3, change.key.course);
            find.bind(4, change.key.meeting);
            find.bind(5, change.key.day);
            find.bind(6, change.key.race);
            const int rc = find.step();
            const qint64 race = rc == SQLITE_ROW ? find.int64(0) : 0;
            find.reset();
            if (rc != SQLITE_ROW && rc != SQLITE_DONE)
                return failure(kCannotRead, rc);
            if (rc == SQLITE_DONE)
                return Status::failure(
                    QStringLiteral("このレースはまだ成績ジャーナルにありません（先に読み込んでください）"));
            if (!change.mark) {
                clear.bind(1, race);
                clear.bind(2, change.number);
                clear.bind(3, horseUrl);
                if (!clear.run())
                    return failure(kCannotWrite);
                continue;
            }
            if (isSingleMark(*change.mark)) {
                moveAway.bind(1, race);
                moveAway.bind(2, markSymbol(*change.mark));
                moveAway.bind(3, change.number);
                moveAway.bind(4, horseUrl);
                if (!moveAway.run())
                    return failure(kCannotWrite);
            }
            set.bind(1, race);
            set.bind(2, change.number);
            set.bind(3, horseUrl);
            set.bind(4, markSymbol(*change.mark));
            set.bind(5, now);
            if (!set.run())
                return failure(kCannotWrite);
            races.insert(race);
        }
        for (const qint64 race : races) {
            if (Status summed = refreshSummary(race); !summed.ok())
                return summed;
        }
        return Status::success();
    });
}

Result<std::vector<KeyedMark>> Journal::allMarks()
{
    Result<std::vector<KeyedMark>> read;
    Statement list(db_, R"sql(
        SELECT r.site, r.race_date, r.course, r.meeting, r.day, r.race_no,
               m.number, m.horse_url, u.name, m.mark, m.set_at, u.number
        FROM mark m JOIN race r ON r.id = m.race_id
             LEFT JOIN runner u ON u.race_id = m.race_id AND u.horse_url = m.horse_url
                                   AND (m.horse_url <> '' OR u.number = m.number)
        ORDER BY r.race_date, r.course, r.race_no, r.site, r.meeting, r.day, m.number, m.horse_url)sql");
    int rc;
    while ((rc = list.step()) == SQLITE_ROW) {
        const auto mark = markOfSymbol(list.text(9));
        if (!mark)
            continue;
        KeyedMark keyed;
        keyed.key = {list.integer(0), QDate::fromString(list.text(1), Qt::ISODate), list.text(2),
            list.integer(3), list.integer(4), list.integer(5)};
        keyed.mark = {list.integer(6), list.text(7), list.text(8), *mark,
            QDateTime::fromString(list.text(10), Qt::ISODate)};
        keyed.cardNumber = list.optionalInt(11).value_or(0);
        read.value.push_back(std::move(keyed));
    }
    if (rc != SQLITE_DONE)
        read.status = failure(kCannotRead);
    return read;
}

Result<std::vector<RecordedRunner>> Journal::recordedCard(const RaceKey &key)
{
    Result<std::vector<RecordedRunner>> read;
    const auto race = raceId(key);
    read.status = race.status;
    if (!race.status.ok() || !race.value)
        return read;
    Statement list(db_, "SELECT number, name, horse_url FROM runner WHERE race_id = ?1 ORDER BY number");
    list.bind(1, *race.value);
    int rc;
    while ((rc = list.step()) == SQLITE_ROW)
        read.value.push_back({list.integer(0), list.text(1), list.text(2)});
    if (rc != SQLITE_DONE)
        read.status = failure(kCannotRead);
    return read;
}

Result<std::optional<RecordedRunner>> Journal::recordedRunner(const RaceKey &key, int number)
{
    const auto card = recordedCard(key);
    Result<std::optional<RecordedRunner>> read;
    read.status = card.status;
    for (const RecordedRunner &runner : card.value) {
        if (runner.number == number)
            read.value = runner;
    }
    return read;
}

Result<std::optional<RaceKey>> Journal::recordedRace(
    int site, int year, const QString &course, int meeting, int day, int race)
{
    Result<std::optional<RaceKey>> read;
    Statement find(db_, R"sql(
        SELECT race_date FROM race
        WHERE site = ?1 AND race_date BETWEEN ?2 AND ?3 AND course = ?4 AND meeting = ?5 AND day = ?6
          AND race_no = ?7
        ORDER BY race_date DESC)sql");
    find.bind(1, site);
    find.bind(2, isoDate(QDate(year, 1, 1)));
    find.bind(3, isoDate(QDate(year, 12, 31)));
    find.bind(4, course);
    find.bind(5, meeting);
    find.bind(6, day);
    find.bind(7, race);
    const int rc = find.step();
    if (rc == SQLITE_ROW)
        read.value = RaceKey {site, QDate::fromString(find.text(0), Qt::ISODate), course, meeting, day, race};
    else if (rc != SQLITE_DONE)
        read.status = failure(kCannotRead);
    return read;
}

Result<std::vector<RaceKey>> Journal::racesOn(const QDate &date, const QString &course, int race)
{
    Result<std::vector<RaceKey>> read;
    Statement find(db_, R"sql(
        SELECT site, meeting, day FROM race WHERE race_date = ?1 AND course = ?2 AND race_no = ?3
        ORDER BY site, meeting, day)sql");
    find.bind(1, isoDate(date));
    find.bind(2, course);
    find.bind(3, race);
    int rc;
    while ((rc = find.step()) == SQLITE_ROW)
        read.value.push_back({find.integer(0), date, course, find.integer(1), find.integer(2), race});
    if (rc != SQLITE_DONE)
        read.status = failure(kCannotRead);
    return read;
}

Result<std::optional<QDate>> Journal::latestRaceDate()
{
    Result<std::optional<QDate>> read;
    Statement latest(db_, "SELECT MAX(race_date) FROM race");
    if (latest.step() != SQLITE_ROW) {
        read.status = failure(kCannotRead);
        return read;
    }
    const QDate date = QDate::fromString(latest.text(0), Qt::ISODate);
    if (date.isValid())
        read.value = date;
    return read;
}

Result<std::vector<RunnerMark>> Journal::marks(const RaceKey &key)
{
    Result<std::vector<RunnerMark>> read;
    const auto race = raceId(key);
    read.status = race.status;
    if (!race.status.ok() || !race.value)
        return read;
    Statement list(db_, R"sql(
        SELECT m.number, m.horse_url, u.name, m.mark, m.set_at
        FROM mark m LEFT JOIN runner u ON u.race_id = m.race_id AND u.number = m.number
             AND u.horse_url = m.horse_url
        WHERE m.race_id = ?1 ORDER BY m.number)sql");
    list.bind(1, *race.value);
    int rc;
    while ((rc = list.step()) == SQLITE_ROW) {
        const auto mark = markOfSymbol(list.text(3));
        if (!mark)
            continue;
        read.value.push_back({list.integer(0), list.text(1), list.text(2), *mark,
            QDateTime::fromString(list.text(4), Qt::ISODate)});
    }
    if (rc != SQLITE_DONE)
        read.status = failure(kCannotRead);
    std::stable_sort(read.value.begin(), read.value.end(),
        [](const RunnerMark &a, const RunnerMark &b) { return a.mark < b.mark; });
    return read;
}

Result<ResultsByNumber> Journal::raceResults(const RaceKey &key)
{
    Result<ResultsByNumber> read;
    const auto race = raceId(key);
    read.status = race.status;
    if (!race.status.ok() || !race.value)
        return read;
    // Through the recorded card: a result stays with the horse it was read for.
    Statement rows(db_, R"sql(
        SELECT u.number, s.finish, s.popularity, s.field_size, s.time, s.last3f, s.not_run, s.kind,
               s.win_odds
        FROM runner u JOIN result s ON s.race_id = u.race_id AND s.number = u.number
             AND s.horse_url = u.horse_url
        WHERE u.race_id = ?1 ORDER BY u.number)sql");
    rows.bind(1, *race.value);
    int rc;
    while ((rc = rows.step()) == SQLITE_ROW) {
        RunnerResult result;
        result.finish = rows.optionalInt(1);
        result.popularity = rows.integer(2);
        result.fieldSize = rows.integer(3);
        result.time = rows.real(4);
        result.last3f = rows.real(5);
        result.notRun = rows.text(6);
        result.kind = FinishKind(rows.integer(7));
        result.winOdds = rows.optionalReal(8);
        read.value.emplace(rows.integer(0), result);
    }
    if (rc != SQLITE_DONE)
        read.status = failure(kCannotRead);
    return read;
}

Result<std::vector<TallyRace>> Journal::tallyRaces(const TallyFilter &filter)
{
    Result<std::vector<TallyRace>> read;
    // Every filter is a bound value; an unbound (NULL) one lets everything through.
    Statement rows(db_, R"sql(
        SELECT id, site, race_date, course, race_no, surface, distance, field_size, left_out, tally
        FROM race
        WHERE (?1 IS NULL OR race_date >= ?1) AND (?2 IS NULL OR race_date <= ?2)
          AND (?3 IS NULL OR site = ?3) AND (?4 IS NULL OR course = ?4)
          AND (?5 IS NULL OR surface = ?5)
          AND (?6 IS NULL OR distance BETWEEN ?6 AND ?7)
          AND (?8 IS NULL OR field_size BETWEEN ?8 AND ?9)
        ORDER BY id)sql");
    rows.bind(1, filter.from ? isoDate(*filter.from) : QString());
    rows.bind(2, filter.to ? isoDate(*filter.to) : QString());
    rows.bind(3, filter.site);
    rows.bind(4, filter.course.isEmpty() ? QString() : filter.course);
    rows.bind(5, filter.surface);
    if (filter.distance) {
        rows.bind(6, filter.distance->first);
        rows.bind(7, filter.distance->second);
    }
    if (filter.runners) {
        rows.bind(8, filter.runners->first);
        rows.bind(9, filter.runners->second);
    }
    // Courses and dates repeat: one string each.
    std::map<QByteArray, QString> courses;
    std::map<QByteArray, QDate> dates;
    std::vector<size_t> stale;
    int rc;
    while ((rc = rows.step()) == SQLITE_ROW) {
        TallyRace race;
        race.id = rows.int64(0);
        race.site = rows.integer(1);
        const QByteArray date = rows.blob(2).toByteArray();
        auto d = dates.find(date);
        if (d == dates.end())
            d = dates.emplace(date, QDate::fromString(QString::fromLatin1(date), Qt::ISODate)).first;
        race.date = d->second;
        const QByteArray course = rows.blob(3).toByteArray();
        auto c = courses.find(course);
        if (c == courses.end())
            c = courses.emplace(course, QString::fromUtf8(course)).first;
        race.course = c->second;
        race.race = rows.integer(4);
        race.surface = rows.optionalInt(5);
        race.distance = rows.integer(6);
        race.fieldSize = rows.integer(7);
        race.leftOut = rows.integer(8);
        if (!decodeSummary(rows.blob(9), race))
            stale.push_back(read.value.size());
        read.value.push_back(std::move(race));
    }
    if (rc != SQLITE_DONE) {
        read.status = failure(kCannotRead);
        return read;
    }
    // Races whose summary another writer cleared are read from the tables.
    for (const size_t i : stale) {
        TallyRace &race = read.value[i];
        auto runners = runnersForTally(race.id);
        if (!runners.status.ok()) {
            read.status = runners.status;
            return read;
        }
        race.runners = std::move(runners.value);
        const auto lead = leadsOf(race.id);
        if (!lead.status.ok()) {
            read.status = lead.status;
            return read;
        }
        race.lead = lead.value;
    }
    return read;
}

}  // namespace marunoki
