#pragma once
// Runs a piece of work in a forked child process, so that a crash, a hang or a
// runaway allocation in it cannot harm the program.
//
// The work runs in the child only: it must not touch Qt objects or anything
// another thread of the parent may hold (use data prepared before the call). It
// returns an empty text on success or an error text, which reaches the parent
// through a pipe. The child's standard streams go to /dev/null. The parent waits
// at most timeLimitSeconds, then kills the child. Blocking; call it from one
// thread at a time.
//
// The child never outlives the parent: it runs in a process group of its own
// (a Ctrl-C at the terminal reaches the parent alone, which decides), is killed
// by the kernel when the parent ends for any reason, is killed by the parent
// when the stop flag is set, and is bounded by its own CPU-time limit should
// the parent be held up.

#include <QString>

#include <atomic>
#include <functional>
#include <string>

namespace marunoki {

struct ChildLimits {
    int timeLimitSeconds = 120;
    // Largest file the child may write (SIGXFSZ beyond); 0 = no limit.
    qint64 maxFileBytes = 0;
    // Largest address space the child may map beyond what the parent had
    // mapped at the fork (which the child inherits); 0 = no limit. Ignored in
    // sanitizer builds, whose shadow memory needs far more address space.
    qint64 maxMemoryBytes = 0;
};

struct [[nodiscard]] ChildOutcome {
    enum class Kind {
        Succeeded,  // the work returned an empty text
        Failed,  // the work returned an error text (in report)
        Crashed,  // the child ended by a signal (in signal), or exited without reporting
        TimedOut,  // killed at the time limit
        NotStarted,  // no pipe or no fork (why in report)
        Stopped,  // the stop flag was set; the child was killed
    };
    Kind kind = Kind::NotStarted;
    int signal = 0;
    QString report;
};

// cancelFlag, when given, is watched while the child runs: -1 kills it.
ChildOutcome runInChildProcess(const std::function<std::string()> &work, const ChildLimits &limits,
    const std::atomic<qint16> *cancelFlag = nullptr);

}  // namespace marunoki
