#include "db/child_process.h"

#include "support/test_folder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

ChildLimits withinSeconds(int seconds)
{
    ChildLimits limits;
    limits.timeLimitSeconds = seconds;
    return limits;
}

}  // namespace

TEST(RunInChildProcess, TellsSuccessFromAReportedFailure)
{
    const ChildOutcome ok = runInChildProcess([] { return std::string(); }, withinSeconds(30));
    EXPECT_EQ(ok.kind, ChildOutcome::Kind::Succeeded);
    EXPECT_TRUE(ok.report.isEmpty());

    const ChildOutcome failed
        = runInChildProcess([] { return std::string("no table list"); }, withinSeconds(30));
    EXPECT_EQ(failed.kind, ChildOutcome::Kind::Failed);
    EXPECT_EQ(failed.report, QStringLiteral("no table list"));

    // An EINTR an earlier call left in errno does not hide the end of the report.
    errno = EINTR;
    const ChildOutcome stale
        = runInChildProcess([] { return std::string("no table list"); }, withinSeconds(5));
    EXPECT_EQ(stale.kind, ChildOutcome::Kind::Failed);
}

TEST(RunInChildProcess, TheWorkChangesNothingInTheParent)
{
    int counter = 1;
    const ChildOutcome outcome = runInChildProcess(
        [&counter] {
            counter = 99;
            return std::string();
        },
        withinSeconds(30));
    EXPECT_EQ(outcome.kind, ChildOutcome::Kind::Succeeded);
    EXPECT_EQ(counter, 1);
}

TEST(RunInChildProcess, ACrashBecomesAnOutcome)
{
    const struct {
        std::function<std::string()> work;
        int signal;
    } cases[] = {
        {[]() -> std::string { std::abort(); }, SIGABRT},
        {[]() -> std::string {
             std::raise(SIGILL);
             return "unreached";
         },
            SIGILL},  // a signal sanitizers leave alone
        {[]() -> std::string { _exit(7); }, 0},
    };
    for (const auto &c : cases) {
        const ChildOutcome outcome = runInChildProcess(c.work, withinSeconds(30));
        EXPECT_EQ(outcome.kind, ChildOutcome::Kind::Crashed);
        EXPECT_EQ(outcome.signal, c.signal);
    }
}

TEST(RunInChildProcess, KillsAChildThatRunsOutOfTime)
{
    const ChildOutcome outcome = runInChildProcess(
        []() -> std::string {
            for (;;)
                ::pause();
        },
        withinSeconds(1));
    EXPECT_EQ(outcome.kind, ChildOutcome::Kind::TimedOut);

    // Closing the report pipe does not let a child escape the limit.
    const ChildOutcome closed = runInChildProcess(
        []() -> std::string {
            for (int fd = 3; fd < 1024; ++fd)
                ::close(fd);
            ::sleep(30);
            return std::string();
        },
        withinSeconds(1));
    EXPECT_EQ(closed.kind, ChildOutcome::Kind::TimedOut);
}

TEST(RunInChildProcess, StopsAChildThatWritesTooMuch)
{
    TestFolder folder;
    const std::string path = QFile::encodeName(folder.file("big.bin")).toStdString();
    ChildLimits limits = withinSeconds(30);
    limits.maxFileBytes = 64 * 1024;
    const ChildOutcome outcome = runInChildProcess(
        [&path]() -> std::string {
            FILE *f = std::fopen(path.c_str(), "wb");
            const std::string block(4096, 'x');
            for (int i = 0; i < 1000 && f; ++i)
                std::fwrite(block.data(), 1, block.size(), f);
            return "wrote it all";
        },
        limits);
    EXPECT_EQ(outcome.kind, ChildOutcome::Kind::Crashed);
    EXPECT_EQ(outcome.signal, SIGXFSZ);
}

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryBounded = false;  // the sanitizer's shadow memory needs the address space
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryBounded = false;
#else
constexpr bool kMemoryBounded = true;
#endif
#else
constexpr bool kMemoryBounded = true;
#endif

// Whether the process is gone (or only a zombie nobody reaps), waiting up to 5 s.
bool endsSoon(pid_t pid)
{
    for (int i = 0; i < 500; ++i) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray line = stat.readAll();
        const qsizetype paren = line.lastIndexOf(')');
        if (paren < 0 || line.mid(paren + 2, 1) == "Z")
            return true;
        ::usleep(10000);
    }
    return false;
}

pid_t pidIn(const QString &path)
{
    for (int i = 0; i < 500; ++i) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray text = file.readAll();
            if (text.endsWith('\n'))
                return pid_t(text.trimmed().toInt());
        }
        ::usleep(10000);
    }
    return 0;
}

void writePid(const std::string &path)
{
    FILE *f = std::fopen(path.c_str(), "w");
    if (f) {
        std::fprintf(f, "%d\n", int(::getpid()));
        std::fclose(f);
    }
}

}  // namespace

// The child is held to what it was given and never outlives the parent's
// interest in it: memory, a stop, the parent's own end, the terminal's Ctrl-C.
TEST(RunInChildProcess, TheChildIsBoundedAndEndsWithItsParent)
{
    TestFolder folder;
    const std::string pidFile = QFile::encodeName(folder.file("child.pid")).toStdString();
    const auto pausing = [&pidFile]() -> std::string {
        writePid(pidFile);
        for (;;)
            ::pause();
    };

    // A runaway allocation fails inside the child instead of taking the machine.
    if (kMemoryBounded) {
        ChildLimits limits = withinSeconds(30);
        limits.maxMemoryBytes = 64 << 20;
        const ChildOutcome outcome = runInChildProcess(
            []() -> std::string {
                void *block = std::malloc(std::size_t(1) << 30);
                return block == nullptr ? "no memory" : "allocated";
            },
            limits);
        EXPECT_EQ(outcome.kind, ChildOutcome::Kind::Failed);
        EXPECT_EQ(outcome.report, QStringLiteral("no memory"));
    }

    // A Ctrl-C at the terminal reaches the parent only: the child has a group of its own.
    const ChildOutcome group = runInChildProcess(
        []() -> std::string { return ::getpgrp() == ::getpid() ? "" : "in the parent's group"; },
        withinSeconds(30));
    EXPECT_EQ(group.kind, ChildOutcome::Kind::Succeeded) << group.report.toStdString();

    // The stop flag kills the child at once.
    std::atomic<qint16> flag {0};
    std::thread stopper([&] {
        if (pidIn(folder.file("child.pid")) != 0)
            flag.store(-1);
    });
    const ChildOutcome stopped = runInChildProcess(pausing, withinSeconds(60), &flag);
    stopper.join();
    EXPECT_EQ(stopped.kind, ChildOutcome::Kind::Stopped);
    EXPECT_TRUE(endsSoon(pidIn(folder.file("child.pid"))));
    QFile::remove(folder.file("child.pid"));

    // A parent killed outright takes the child with it.
    const pid_t parent = ::fork();
    ASSERT_GE(parent, 0);
    if (parent == 0) {
        static_cast<void>(runInChildProcess(pausing, withinSeconds(60)));
        ::_exit(0);
    }
    const pid_t child = pidIn(folder.file("child.pid"));
    ASSERT_NE(child, 0);
    ::kill(parent, SIGKILL);
    int status = 0;
    ::waitpid(parent, &status, 0);
    EXPECT_TRUE(endsSoon(child));
    ::kill(child, SIGKILL);  // should the check fail, nothing is left running
}
