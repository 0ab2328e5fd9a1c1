#include "cli_process.h"

#include <QProcess>

namespace marunoki::test {

QStringList CliRun::messages() const
{
    QStringList found;
    const QString prefix = QStringLiteral("message: ");
    for (const QString &line : QString::fromUtf8(err).split(u'\n')) {
        if (line.startsWith(prefix))
            found.append(line.mid(prefix.size()));
    }
    return found;
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
