#pragma once
// The cause of a failed write, rename or folder call (an errno value) in
// Japanese ("ディスクの空きがありません"), for messages that name the file;
// the same words the atomic writer uses.

#include <QString>

namespace marunoki {

QString writeFailureCause(int error);

}  // namespace marunoki
