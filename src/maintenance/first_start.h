#pragma once
// A start without a track database, and the bundled samples an installed
// program carries (the sample race's page archives, marunoki.dat, NAR_data.mdb
// and marunoki.ini).
//
// The command line names the missing file and where it belongs and stops; the
// desktop says so once at start and offers the track-data update or the sample
// track database, installed through the update's checked copy.

#include "app/common.h"
#include "maintenance/track_data_update.h"

#include <QString>

namespace marunoki {

class MessageSink;

// The samples folder: beside the program, one folder up (a build tree),
// <prefix>/share/marunoki/samples of an installed program, or builtIn (the
// source tree of a development build). Empty when none holds the sample race.
QString findSampleFolder(const QString &programFolder, const QString &builtIn);

// Whether the application folder has no "marunoki.dat".
bool trackDatabaseMissing(const AppFolder &folder);

// What the command line says: the file, the folder it belongs in and, when
// there is one, the sample database to copy there.
QString missingTrackDatabaseText(const AppFolder &folder, const QString &sampleFolder);

// What the desktop asks at start: the same, and the two ways on.
QString missingTrackDatabaseQuestion(const AppFolder &folder, bool sampleFound);

// Installs the sample track database as the folder's marunoki.dat, checked and
// copied as the update copies a chosen file (messages through sink).
TrackUpdateResult useSampleTrackDatabase(
    const AppFolder &folder, const QString &sampleFolder, MessageSink &sink);

}  // namespace marunoki
