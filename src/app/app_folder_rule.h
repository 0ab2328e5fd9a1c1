#pragma once
// Where the application folder (settings, databases, page cache) is, chosen once
// at start, in this order:
//   1. the folder the user names (--app-dir);
//   2. the environment variable MARUNOKI_APP_DIR;
//   3. the program's own folder when it holds marunoki.ini (a copy run from its
//      folder, as the program always ran, or a portable copy on a stick);
//   4. the per-user data folder ($XDG_DATA_HOME/marunoki, by default
//      ~/.local/share/marunoki), the only writable place for an installed program.
//      A relative XDG_DATA_HOME is ignored, as the XDG rules say; without HOME
//      (a service, a cron job) and without an absolute XDG_DATA_HOME there is no
//      such folder, and no folder is chosen: the user is told what to set.
// The choice only looks at the file system; it makes nothing (see
// prepareUserFolder in settings/ for the first start in the per-user folder).

#include "app/common.h"

#include <QString>

namespace marunoki {

enum class AppFolderSource { Option, Environment, ProgramFolder, UserFolder, None };

struct AppFolderPlaces {
    QString option;  // --app-dir; empty = not given
    QString environment;  // MARUNOKI_APP_DIR; empty = not set
    QString programFolder;  // the folder of the running executable
    QString userFolder;  // the per-user data folder of the program; empty = none known
};

struct AppFolderChoice {
    AppFolder folder;
    AppFolderSource source;
};

// Source None when no place applies; its folder is then not one to use.
AppFolderChoice chooseAppFolder(const AppFolderPlaces &places);

// The per-user folder of the program from the values of XDG_DATA_HOME and
// HOME: "$XDG_DATA_HOME/marunoki" when that is absolute, else
// "$HOME/.local/share/marunoki" when HOME is absolute, else empty.
QString userAppFolder(const QString &xdgDataHome, const QString &home);

// The places of this process: option as given, the environment, the
// executable's folder, userAppFolder of the environment.
AppFolderPlaces systemAppFolderPlaces(const QString &option);

// What to do when no folder was chosen (source None), in one line.
QString noAppFolderMessage();

}  // namespace marunoki
