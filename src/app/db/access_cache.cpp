#include "app/db/access_cache.h"

namespace marunoki {

CachedCopy cachedSqliteCopy(const QString &accessPath, const QString &, bool)
{
    return {QString(), QStringLiteral("%1 is an Access database; its import is not available yet").arg(accessPath)};
}

}  // namespace marunoki
