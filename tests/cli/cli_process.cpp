#include "cli_process.h"

#include <QProcess>
#include <QTemporaryDir>

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

namespace {

CliRun runWith(const QStringList &arguments, const QString &workingDir, int timeoutMs,
    const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
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

}  // namespace

CliRun runCli(const QStringList &arguments, const QString &workingDir, int timeoutMs)
{
    // A run without --app-dir settles on the user's data folder: one of the
    // test program's own, never the real one of whoever runs the tests.
    static const QTemporaryDir userData;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), userData.path());
    environment.remove(QStringLiteral("MARUNOKI_APP_DIR"));
    return runWith(arguments, workingDir, timeoutMs, environment);
}

CliRun runCliAt(const QString &home, const QStringList &arguments, const QString &workingDir,
    const QMap<QString, QString> &set)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    environment.remove(QStringLiteral("MARUNOKI_APP_DIR"));
    for (auto it = set.begin(); it != set.end(); ++it) {
        if (it.value().isNull())
            environment.remove(it.key());
        else
            environment.insert(it.key(), it.value());
    }
    return runWith(arguments, workingDir, 60000, environment);
}

}  // namespace marunoki::test
