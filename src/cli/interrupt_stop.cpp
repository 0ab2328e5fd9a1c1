#include "cli/interrupt_stop.h"

namespace marunoki::cli {

namespace {

// The flag of the load in progress; null outside an InterruptStop.
std::atomic<std::atomic<qint16> *> stopFlag {nullptr};

static_assert(std::atomic<qint16>::is_always_lock_free, "the stop flag is written from a signal handler");
static_assert(std::atomic<std::atomic<qint16> *>::is_always_lock_free);

extern "C" void requestStop(int)
{
    if (std::atomic<qint16> *flag = stopFlag.load())
        flag->store(-1);
}

}  // namespace

InterruptStop::InterruptStop(std::atomic<qint16> &cancelFlag)
{
    stopFlag.store(&cancelFlag);
    struct sigaction action { };
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // One stop request; the second signal gets the default action back.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
}

InterruptStop::~InterruptStop()
{
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    stopFlag.store(nullptr);
}

}  // namespace marunoki::cli
