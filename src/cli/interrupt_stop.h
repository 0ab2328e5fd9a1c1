#pragma once
// Ctrl-C as the loading window's stop button: while an InterruptStop is alive,
// the first SIGINT or SIGTERM sets the stop flag to -1, so the running load ends
// with "処理を中止します（ユーザーキャンセル）" (exit status 3) and nothing half
// written; a second signal ends the program at once, as it would have without.
//
// The handler can reach the flag only through one process-wide pointer (a signal
// handler gets no argument); it is set and cleared by this class alone, and at
// most one InterruptStop may exist at a time.

#include <QtGlobal>

#include <atomic>
#include <csignal>

namespace marunoki::cli {

class InterruptStop {
public:
    explicit InterruptStop(std::atomic<qint16> &cancelFlag);
    ~InterruptStop();
    InterruptStop(const InterruptStop &) = delete;
    InterruptStop &operator=(const InterruptStop &) = delete;

private:
    struct sigaction previousInt_ { };
    struct sigaction previousTerm_ { };
};

}  // namespace marunoki::cli
