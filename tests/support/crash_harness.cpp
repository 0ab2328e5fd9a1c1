#include "support/crash_harness.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <new>
#include <random>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace marunoki::test {

KillReport killDuringWrites(const std::function<void(int)> &write, std::chrono::microseconds delay)
{
    // The counter lives in memory shared with the child, so the parent sees how
    // many writes the child began before it died.
    void *shared = ::mmap(
        nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED)
        return {};
    auto *started = new (shared) std::atomic<int>(0);

    const pid_t child = ::fork();
    if (child < 0) {
        ::munmap(shared, sizeof(std::atomic<int>));
        return {};
    }
    if (child == 0) {
        for (int i = 0;; ++i) {
            started->store(i + 1);
            write(i);
        }
    }
    // The delay counts from the child's first write, not from the fork: starting
    // a process can take longer than the whole delay on a busy machine.
    for (int waited = 0; started->load() == 0 && waited < 5000; ++waited)
        ::usleep(1000);
    ::usleep(static_cast<useconds_t>(delay.count()));
    ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    KillReport report;
    report.forked = true;
    report.writesStarted = started->load();
    ::munmap(shared, sizeof(std::atomic<int>));
    return report;
}

CrashRun crashRepeatedly(const std::function<void(int)> &write, const std::function<QString()> &inspect,
    int rounds, std::chrono::microseconds maxDelay)
{
    CrashRun run;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<long long> delays(0, maxDelay.count());
    for (int round = 0; round < rounds; ++round) {
        const KillReport report = killDuringWrites(write, std::chrono::microseconds(delays(random)));
        if (!report.forked) {
            run.faults.append(QStringLiteral("round %1: fork failed").arg(round));
            break;
        }
        ++run.rounds;
        if (report.writesStarted > 1)
            ++run.killedDuringSequence;
        const QString fault = inspect();
        if (!fault.isEmpty())
            run.faults.append(QStringLiteral("round %1 (after %2 writes began): %3")
                                  .arg(round)
                                  .arg(report.writesStarted)
                                  .arg(fault));
    }
    return run;
}

QStringList strayFiles(const QString &folder, const QString &target)
{
    const QRegularExpression temporary(
        QStringLiteral("^\\.?%1\\.[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(target)));
    QStringList stray;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        if (name != target && !temporary.match(name).hasMatch())
            stray.append(name);
    }
    return stray;
}

std::optional<QByteArray> fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

QString unlessOneOf(const QString &path, const QByteArray &first, const QByteArray &second)
{
    const auto bytes = fileBytes(path);
    if (!bytes)
        return QStringLiteral("no file");
    if (*bytes == first || *bytes == second)
        return QString();
    return QStringLiteral("%1 bytes, neither of the two contents").arg(bytes->size());
}

}  // namespace marunoki::test
