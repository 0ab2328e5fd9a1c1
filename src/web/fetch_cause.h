#pragma once
// The causes of a failed fetch as the user reads them, in Japanese. Qt describes
// network and file failures in English ("Host ... not found", "Connection
// refused", "No such file or directory"); the message box and the command line
// show these texts instead. Never fails: an error without a text of its own gets
// a general one.

#include <QFileDevice>
#include <QNetworkReply>
#include <QString>

namespace marunoki {

// Why a network request failed (not an HTTP status: that stays "HTTP 404").
QString networkCause(QNetworkReply::NetworkError error);

// Why a page file could not be opened or read.
QString fileCause(QFileDevice::FileError error);

// The page is not among the archive's pages (an offline run asked for a page
// that was never saved).
QString notInArchiveCause();

}  // namespace marunoki
