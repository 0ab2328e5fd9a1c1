#include "db/child_process.h"

#include "support/test_folder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

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
