#include "app/app_folder_rule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
    return {AppFolder(places.userFolder), AppFolderSource::UserFolder};
}

AppFolderPlaces systemAppFolderPlaces(const QString &option)
{
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())  // no home folder known
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return {option, qEnvironmentVariable("MARUNOKI_APP_DIR"), QCoreApplication::applicationDirPath(),
        QDir::cleanPath(data + QStringLiteral("/marunoki"))};
}

}  // namespace marunoki
