// The status line on a terminal: marunoki-cli with stderr on a pseudo-terminal
// rewrites the line in place and starts each message on a line of its own.

#include "support/test_folder.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace marunoki::test {
namespace {

// Runs the demo in folder with stderr on a raw pseudo-terminal (no line-end
// translation); returns what it wrote there, and its exit status.
QByteArray demoOnTerminal(const QString &folder, int *exitCode)
{
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return {};
    termios raw {};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(&actions, slave, 2);
    ::posix_spawn_file_actions_addclose(&actions, master);
    ::posix_spawn_file_actions_addclose(&actions, slave);
    const QByteArray dir = folder.toLocal8Bit();
    ::posix_spawn_file_actions_addchdir_np(&actions, dir.constData());
    char program[] = MARUNOKI_CLI_PATH;
    char command[] = "demo";
    char *argv[] = {program, command, nullptr};
    // The folder is the home folder too: a start may make the user's data folder.
    std::vector<QByteArray> variables {"HOME=" + dir};
    for (char **each = environ; *each != nullptr; ++each) {
        const QByteArray variable(*each);
        if (!variable.startsWith("HOME=") && !variable.startsWith("XDG_DATA_HOME=")
            && !variable.startsWith("MARUNOKI_APP_DIR="))
            variables.push_back(variable);
    }
    std::vector<char *> envp;
    for (QByteArray &variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program, &actions, nullptr, argv, envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(slave);

    QByteArray written;
    if (spawned == 0) {
        // Read until the child's end closes the terminal (EIO), at most 60 s.
        pollfd fd {master, POLLIN, 0};
        char buffer[4096];
        while (::poll(&fd, 1, 60000) > 0) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            written.append(buffer, n);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ::close(master);
    return written;
}

TEST(CliTerminal, RewritesTheStatusLineInPlace)
{
    TestFolder work;
    int exitCode = -1;
    const QByteArray err = demoOnTerminal(work.path(), &exitCode);
    EXPECT_EQ(exitCode, 0) << err.toStdString();
    const QByteArray clear = "\x1b[K";
    EXPECT_TRUE(err.startsWith("\r" + QStringLiteral("出馬表読込み中・・・").toUtf8() + clear))
        << err.toStdString();
    EXPECT_TRUE(err.contains("\r" + QStringLiteral("16/16 サンプルホース16成績読込み中・・・").toUtf8()
        + clear + "\n" + "message: "));
    // In the race's load only the message ends a line (the day and the results
    // the demo runs after it have lines of their own).
    const qsizetype message = err.indexOf("message: ");
    ASSERT_GE(message, 0);
    const QByteArray load = err.left(err.indexOf('\n', message) + 1);
    EXPECT_EQ(load.count('\n'), 2);
    EXPECT_EQ(load.count('\r'), 17);
}

}  // namespace
}  // namespace marunoki::test
