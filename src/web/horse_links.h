#pragma once
// The horse-link scan of the race-card readers: finds, in the card's HTML, the
// link to each runner's past-performance page and stores its full address.
//
// The scan only moves forward: runner n's link is the first link after runner
// n-1's whose text is runner n's name, so the links must appear in horse-number
// order. Link texts are compared with the stored names, which have their spaces
// removed; a link text that still holds a space does not match.

#include <QString>

namespace marunoki {

class RaceStore;

// How one site writes its horse links.
struct HorseLinkForm {
    QString marker;  // "/directory/horse/" or "/db/horse.php?hid="
    QString idEnd;  // the text after the id: "index.html" or " target="
    int idEndBack = 0;  // characters before idEnd that are not part of the id (the closing quote)
    QString urlSuffix;  // appended to the id in the stored address
};

// The two sites' link forms.
HorseLinkForm site1HorseLinks();
HorseLinkForm site2HorseLinks();

// Sets runner n's pageAddress = siteBase + marker + id + urlSuffix for runners 1..fieldSize. For
// every occurrence of the marker it reads the id (up to idEnd) and the link text:
// in the 80 characters that start at the second character after the marker, the
// text between the first ">" and the next "<". Returns false when the scan
// fails: no further marker for an unmatched runner, no idEnd after a marker, or a
// link text without its ">" or "<". Runners matched before the failure keep
// their addresses; the rest keep theirs empty.
bool scanHorseLinks(
    const QString &pageHtml, const HorseLinkForm &form, const QString &siteBase, RaceStore &store);

}  // namespace marunoki
