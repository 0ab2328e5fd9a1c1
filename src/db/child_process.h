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

#include <QString>

#include <functional>
#include <string>

namespace marunoki {

struct ChildLimits {
    int timeLimitSeconds = 120;
    // Largest file the child may write (SIGXFSZ beyond); 0 = no limit.
    qint64 maxFileBytes = 0;
    // Largest address space of the child; 0 = no limit. Ignored in sanitizer
    // builds, whose shadow memory needs far more address space.
    qint64 maxMemoryBytes = 0;
};

struct [[nodiscard]] ChildOutcome {
    enum class Kind {
        Succeeded,  // the work returned an empty text
        Failed,  // the work returned an error text (in report)
        Crashed,  // the child ended by a signal (in signal), or exited without reporting
        TimedOut,  // killed at the time limit
        NotStarted,  // no pipe or no fork (why in report)
    };
    Kind kind = Kind::NotStarted;
    int signal = 0;
    QString report;
};

ChildOutcome runInChildProcess(const std::function<std::string()> &work, const ChildLimits &limits);

}  // namespace marunoki
