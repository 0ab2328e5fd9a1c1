#include "cli_process.h"

#include <QProcess>

namespace marunoki::test {

namespace {

QStringList linesAfter(const QByteArray &err, const QString &prefix)
{
    QStringList found;
    for (const QString &line : QString::fromUtf8(err).split(u'\n')) {
        if (line.startsWith(prefix))
            found.append(line.mid(prefix.size()));
    }
    return found;
}

}  // namespace

QStringList CliRun::messages() const
{
    return linesAfter(err, QStringLiteral("message: "));
}

QStringList CliRun::details() const
{
    return linesAfter(err, QStringLiteral("detail: "));
}

bool CliRun::detailsFollowMessages() const
{
    const QStringList lines = QString::fromUtf8(err).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QStringLiteral("detail: "))
            && (i == 0 || !lines[i - 1].startsWith(QStringLiteral("message: "))))
            return false;
    }
    return true;
}

CliRun runCli(const QStringList &arguments, const QString &workingDir, int timeoutMs)
{
    QProcess process;
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(QStringLiteral(MARUNOKI_CLI_PATH), arguments);
    CliRun run;
    if (!process.waitForStarted(timeoutMs)) {
        run.crashed = true;
        return run;
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.crashed = true;
    }
    run.crashed = run.crashed || process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

}  // namespace marunoki::test
