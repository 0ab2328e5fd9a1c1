#include "support/fifo_watchdog.h"

#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace marunoki::test {

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool endsWithoutAWriter(const std::function<void()> &body, const QStringList &fifos)
{
    std::future<void> done = std::async(std::launch::async, body);
    if (done.wait_for(std::chrono::minutes(1)) == std::future_status::ready)
        return true;
    // A reader blocked in open() is released by a writer's open, one blocked in
    // read() by the writer's close (end of file).
    while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        for (const QString &fifo : fifos) {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
        }
    }
    return false;
}

}  // namespace marunoki::test
