#include "db/child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// NOTES ON THE DESIGN
// - The child ends with _exit(), so none of the parent's exit handlers or
//   destructors of static objects run in it.
// - The parent reads the pipe until end of file or the deadline, then reaps the
//   child; at the deadline it kills the child first. A child that closed the
//   pipe but lives on is killed at the deadline as well.
// - Exit status 0 with no report is success; exit status kFailed carries the
//   report; anything else (a signal, another status) is a crash.
// - The memory bound is set above the address space the child inherits (the
//   parent's threads, heap and libraries stay mapped in it), measured before
//   the fork, since the child must not allocate (or read /proc) to learn it.
// - The child's CPU-time limit is the wall-clock limit plus a margin: the
//   parent's deadline comes first, and the kernel's limit only matters when the
//   parent cannot act (stopped with SIGSTOP, say).

namespace marunoki {

namespace {

constexpr int kFailed = 3;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

void writeAll(int fd, const std::string &text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

void limit(int resource, qint64 bytes)
{
    if (bytes <= 0)
        return;
    const rlimit value {static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    ::setrlimit(resource, &value);
}

// The address space of this process in bytes (VmSize), or 0 when unknown.
qint64 mappedBytes()
{
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[8192];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return 0;
    text[n] = '\0';
    const char *line = std::strstr(text, "VmSize:");
    return line ? std::strtoll(line + 7, nullptr, 10) * 1024 : 0;
}

void limitCpu(int seconds)
{
    const rlimit value {static_cast<rlim_t>(seconds), static_cast<rlim_t>(seconds + 5)};
    ::setrlimit(RLIMIT_CPU, &value);
}

[[noreturn]] void runChild(int reportFd, const std::function<std::string()> &work, const ChildLimits &limits,
    pid_t parent, qint64 memoryBytes)
{
    // Ends with the parent, whatever ends it; a parent gone before this line
    // would never send the signal.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(kFailed);
    ::setpgid(0, 0);
    // The parent's handlers (a stop flag that only the parent reads) mean
    // nothing here.
    for (const int stop : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ::signal(stop, SIG_DFL);
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
    // A crash in the work ends the child by its signal, which the parent reports.
    // Handlers inherited from the parent (a sanitizer's, a crash reporter's) would
    // turn it into an exit status, or run the parent's crash handling here.
    for (const int crash : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        ::signal(crash, SIG_DFL);
    limit(RLIMIT_FSIZE, limits.maxFileBytes);
    if (!kSanitized)
        limit(RLIMIT_AS, memoryBytes);
    limitCpu(limits.timeLimitSeconds + 10);
    const std::string error = work();
    if (!error.empty()) {
        writeAll(reportFd, error);
        ::_exit(kFailed);
    }
    ::_exit(0);
}

}  // namespace

ChildOutcome runInChildProcess(const std::function<std::string()> &work, const ChildLimits &limits,
    const std::atomic<qint16> *cancelFlag)
{
    using Clock = std::chrono::steady_clock;
    ChildOutcome outcome;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        outcome.report = qt_error_string(errno);
        return outcome;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(limits.timeLimitSeconds);
    const qint64 memoryBytes = limits.maxMemoryBytes > 0 ? mappedBytes() + limits.maxMemoryBytes : 0;
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        outcome.report = qt_error_string(errno);
        ::close(fds[0]);
        ::close(fds[1]);
        return outcome;
    }
    if (pid == 0) {
        ::close(fds[0]);
        runChild(fds[1], work, limits, parent, memoryBytes);
    }
    ::close(fds[1]);

    // Set in the parent as well, so that no signal of the terminal can reach
    // the child between the fork and its own call.
    ::setpgid(pid, pid);
    const auto stopRequested = [cancelFlag] { return cancelFlag != nullptr && cancelFlag->load() == -1; };

    std::string report;
    bool timedOut = false;
    bool stopped = false;
    char buffer[4096];
    for (;;) {
        const auto left
            = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        if (stopRequested()) {
            stopped = true;
            break;
        }
        pollfd p {fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, 100)));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;  // end of file: the child is ending
        if (report.size() < 65536)
            report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);

    int status = 0;
    if (timedOut || stopped)
        ::kill(pid, SIGKILL);
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, timedOut || stopped ? 0 : WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            break;
        if (done == 0) {
            if (stopRequested()) {
                stopped = true;
                ::kill(pid, SIGKILL);
            } else if (Clock::now() >= deadline) {
                timedOut = true;
                ::kill(pid, SIGKILL);
            } else {
                ::usleep(2000);
            }
        }
    }

    outcome.report = QString::fromStdString(report);
    if (stopped) {
        outcome.kind = ChildOutcome::Kind::Stopped;
    } else if (timedOut || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)) {
        outcome.kind = ChildOutcome::Kind::TimedOut;
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && report.empty()) {
        outcome.kind = ChildOutcome::Kind::Succeeded;
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == kFailed && !report.empty()) {
        outcome.kind = ChildOutcome::Kind::Failed;
    } else {
        outcome.kind = ChildOutcome::Kind::Crashed;
        outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    return outcome;
}

}  // namespace marunoki
