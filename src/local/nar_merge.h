#pragma once
// The local-racing (NAR) merge: adds a runner's local runs of the last 420 days
// from NAR_data.mdb to its past runs and re-sorts them newest first.
//
// NOTES ON THE DESIGN
// - The runner is looked up by its name in the joined race and result tables
//   (T_Rdata, T_Useiseki); only runs dated strictly between the race day and 420
//   days before it count. The comparison is on the day alone, so a stored time of
//   day does not move a run across either bound.
// - A runner holds at most 50 past runs. Runs already in the store are never
//   overwritten: local rows, newest first, fill the free runs only.
// - The re-sort is a stable sort in memory by date, newest first; on equal dates the
//   runs keep their order, the runs already in the store before the merged ones.
//   Afterwards the runner's runs occupy runs 1..m without gaps. The re-sort also
//   runs when nothing was added.
// - A Null last3f (no last-three-furlong time) leaves 0; a Null or unreadable value in
//   any other column leaves that field at its reset value (0 or empty). A row whose
//   date cannot be read is not a run and is left out.

#include <QtGlobal>

#include <memory>

namespace marunoki {

class Database;
class MessageSink;
class RaceStore;

// The merge for every runner of one load: keeps its query prepared between
// runners. Uses (does not own) the open database, which must outlive it; use it
// from the thread that opened the database.
class NarMerge {
public:
    explicit NarMerge(Database &nar);
    ~NarMerge();
    NarMerge(const NarMerge &) = delete;
    NarMerge &operator=(const NarMerge &) = delete;

    // Merges the local runs of runner h, as readNar below.
    void merge(RaceStore &store, qint32 h, MessageSink &messages);

private:
    struct Query;
    Database &nar_;
    std::unique_ptr<Query> query_;
};

// Merges the local runs of runner h from the local-racing database
// (nar; nothing happens when it is null) and re-sorts the runner's runs. Reads
// raceDate and the runner's name; writes the runner's runs 1..50 and, for every
// row taken, the database's spelling of the name into the runner's name. Run 0 is never
// touched. A query that fails (a missing table or column) shows a message naming
// the file, the runner's runs are left as they were, and its gap
// (RaceStore::gaps) says so. For several runners of
// one load, NarMerge saves preparing the query again for each.
void readNar(RaceStore &store, qint32 h, Database *nar, MessageSink &messages);

}  // namespace marunoki
