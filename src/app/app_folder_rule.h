#pragma once
// Where the application folder (settings, databases, page cache) is, chosen once
// at start, in this order:
//   1. the folder the user names (--app-dir);
//   2. the environment variable MARUNOKI_APP_DIR;
//   3. the program's own folder when it holds marunoki.ini (a copy run from its
//      folder, as the program always ran, or a portable copy on a stick);
//   4. the per-user data folder ($XDG_DATA_HOME/marunoki, by default
//      ~/.local/share/marunoki), the only writable place for an installed program.
// The choice only looks at the file system; it makes nothing (see
// prepareUserFolder in settings/ for the first start in the per-user folder).

#include "app/common.h"

#include <QString>

namespace marunoki {

enum class AppFolderSource { Option, Environment, ProgramFolder, UserFolder };

struct AppFolderPlaces {
    QString option;  // --app-dir; empty = not given
    QString environment;  // MARUNOKI_APP_DIR; empty = not set
    QString programFolder;  // the folder of the running executable
    QString userFolder;  // the per-user data folder of the program
};

struct AppFolderChoice {
    AppFolder folder;
    AppFolderSource source;
};

AppFolderChoice chooseAppFolder(const AppFolderPlaces &places);

// The places of this process: option as given, the environment, the
// executable's folder, QStandardPaths' generic data folder + "/marunoki".
AppFolderPlaces systemAppFolderPlaces(const QString &option);

}  // namespace marunoki
