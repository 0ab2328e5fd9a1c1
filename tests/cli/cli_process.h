#pragma once
// Runs the built marunoki-cli as a child process and collects what it wrote.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace marunoki::test {

struct CliRun {
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QByteArray err;

    // stderr lines "message: <text>", the text only, in order.
    QStringList messages() const;
    // stderr lines "detail: <text>", the text only, in order.
    QStringList details() const;
    // Whether every "detail: " line directly follows a "message: " line.
    bool detailsFollowMessages() const;
};

// Runs marunoki-cli with the arguments, in workingDir when given. Kills it after
// timeoutMs (then crashed is true).
CliRun runCli(const QStringList &arguments, const QString &workingDir = QString(), int timeoutMs = 60000);

// The same as a user whose home folder is home: HOME set, and the variables
// that would choose another application folder (XDG_DATA_HOME,
// MARUNOKI_APP_DIR) removed unless given in `set`; a null value in `set`
// removes that variable (HOME too).
CliRun runCliAt(const QString &home, const QStringList &arguments, const QString &workingDir,
    const QMap<QString, QString> &set = {});

}  // namespace marunoki::test
