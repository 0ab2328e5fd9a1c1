#include "web/horse_links.h"

#include "app/race_store.h"

#include <algorithm>

namespace marunoki {

HorseLinkForm site1HorseLinks()
{
    return {
        QStringLiteral("/directory/horse/"), QStringLiteral("index.html"), 0, QStringLiteral("index.html")};
}

HorseLinkForm site2HorseLinks()
{
    return {QStringLiteral("/db/horse.php?hid="), QStringLiteral(" target="), 1, QString()};
}

bool scanHorseLinks(
    const QString &pageHtml, const HorseLinkForm &form, const QString &siteBase, RaceStore &store)
{
    const QStringView html(pageHtml);
    qsizetype from = 0;
    qsizetype nextIdEnd = 0;  // -1 once no idEnd is left in the page
    for (const qint32 n : store.runners()) {
        for (;;) {
            const qsizetype at = html.indexOf(form.marker, from);
            if (at < 0)
                return false;
            const qsizetype idStart = at + form.marker.size();
            // The first idEnd at or after an earlier id start is also the first
            // after this one if it lies beyond it: each is looked for once, so a
            // page full of markers is still scanned in linear time.
            if (nextIdEnd >= 0 && nextIdEnd < idStart)
                nextIdEnd = html.indexOf(form.idEnd, idStart);
            const qsizetype end = nextIdEnd;
            if (end < 0)
                return false;
            const qsizetype idLength = end - form.idEndBack - idStart;
            if (idLength < 0)
                return false;
            from = idStart;

            // The link text is looked for in a fixed window from the id's second
            // character on; the sites' ids are short, so it spans the rest of the
            // tag and the name.
            const QStringView window = html.mid(idStart + 1, 80);
            const qsizetype open = window.indexOf(u'>');
            if (open < 0)
                return false;
            const qsizetype close = window.indexOf(u'<', open + 1);
            if (close < 0)
                return false;
            if (window.mid(open + 1, close - open - 1) == store.horses[n].name) {
                store.horses[n].pageAddress
                    = siteBase + form.marker + html.mid(idStart, idLength).toString() + form.urlSuffix;
                break;
            }
        }
    }
    return true;
}

}  // namespace marunoki
