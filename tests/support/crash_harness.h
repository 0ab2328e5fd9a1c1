#pragma once
// Crashes a writer at arbitrary moments, for the tests that a file write is
// all-or-nothing.
//
// killDuringWrites forks a child process that calls write(0), write(1), ...
// without end and kills it with SIGKILL the given delay after its first write
// began (or after 5 s without one), so the child dies
// wherever it happens to be: before a write, inside one, between two. The child
// never returns into the test. The caller then looks at what is on disk.
//
// Fork from a test process that runs no other threads (the writers under test
// start none); the child uses only what the write function uses.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

namespace marunoki::test {

struct KillReport {
    bool forked = false;  // false: fork failed, nothing ran
    int writesStarted = 0;  // how far the child got, from a counter it shares
};

KillReport killDuringWrites(const std::function<void(int)> &write, std::chrono::microseconds delay);

// Kills the writer `rounds` times, each after a random delay of at most
// maxDelay (from a fixed seed, so a failing round repeats), and after each kill
// asks `inspect` what is wrong with what is on disk (an empty text: nothing).
struct CrashRun {
    int rounds = 0;
    int killedDuringSequence = 0;  // kills after the child had begun its second write
    QStringList faults;  // "round 7: ..." for every inspection that found a fault
};
CrashRun crashRepeatedly(const std::function<void(int)> &write, const std::function<QString()> &inspect,
    int rounds, std::chrono::microseconds maxDelay);

// The files in `folder` other than `target` and the writer's temporaries of it
// ("<target>.XXXXXX", or hidden as ".<target>.XXXXXX"). A writer killed in the moment between naming its
// temporary and renaming it over the target leaves that temporary behind; the
// program never reads it. Anything else would be a stray copy.
QStringList strayFiles(const QString &folder, const QString &target);

// The file's bytes; nothing when it does not exist or cannot be read.
std::optional<QByteArray> fileBytes(const QString &path);

// The inspection of an all-or-nothing writer that toggles a file between two
// contents: empty when the file holds exactly one of them, else what it holds
// instead ("no file", or its size).
QString unlessOneOf(const QString &path, const QByteArray &first, const QByteArray &second);

}  // namespace marunoki::test
