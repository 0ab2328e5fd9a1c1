#include "app/app_folder_rule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace marunoki {

AppFolderChoice chooseAppFolder(const AppFolderPlaces &places)
{
    if (!places.option.isEmpty())
        return {AppFolder(places.option), AppFolderSource::Option};
    if (!places.environment.isEmpty())
        return {AppFolder(places.environment), AppFolderSource::Environment};
    const AppFolder program(places.programFolder);
    // A folder named marunoki.ini is no settings file: an installed program in
    // such a place still keeps its files per user.
    if (QFileInfo(program.file(QStringLiteral("marunoki.ini"))).isFile())
        return {program, AppFolderSource::ProgramFolder};
    if (places.userFolder.isEmpty())
        return {AppFolder(QString()), AppFolderSource::None};
    return {AppFolder(places.userFolder), AppFolderSource::UserFolder};
}

QString userAppFolder(const QString &xdgDataHome, const QString &home)
{
    // Without HOME, Qt's own answer would be the root's "/.local/share": a
    // folder nobody meant, and seldom a writable one.
    QString data;
    if (QDir::isAbsolutePath(xdgDataHome))
        data = xdgDataHome;
    else if (QDir::isAbsolutePath(home))
        data = home + QStringLiteral("/.local/share");
    else
        return {};
    return QDir::cleanPath(data + QStringLiteral("/marunoki"));
}

AppFolderPlaces systemAppFolderPlaces(const QString &option)
{
    return {option, qEnvironmentVariable("MARUNOKI_APP_DIR"), QCoreApplication::applicationDirPath(),
        userAppFolder(qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("HOME"))};
}

QString noAppFolderMessage()
{
    return QStringLiteral(
        "アプリケーションフォルダが決まりません（HOME が設定されていません）: --app-dir DIR、"
        "環境変数 MARUNOKI_APP_DIR、または環境変数 XDG_DATA_HOME（絶対パス）を設定してください");
}

}  // namespace marunoki
