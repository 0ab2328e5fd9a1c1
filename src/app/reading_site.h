#pragma once
// The site a race is read from. The settings file and the command line write it
// as text ("サイト1", "サイト2"); it is parsed once where it is read, and the rest
// of the program speaks of the enum.

#include <QString>

namespace marunoki {

enum class ReadingSite { One, Two, None };

// The setting's texts, as the settings file and the options dialog hold them.
inline const QString kSite1 = QStringLiteral("サイト1");
inline const QString kSite2 = QStringLiteral("サイト2");

// "サイト1" is Site 1, "サイト2" Site 2, anything else (empty, a typing slip) no
// site: a load then reads nothing.
inline ReadingSite readingSiteOf(const QString &setting)
{
    if (setting == kSite1)
        return ReadingSite::One;
    if (setting == kSite2)
        return ReadingSite::Two;
    return ReadingSite::None;
}

// The setting's text again: "サイト1", "サイト2", or for no site the text it was
// read from (otherText), so a setting naming no site is written back unchanged.
inline QString readingSiteText(ReadingSite site, const QString &otherText)
{
    switch (site) {
    case ReadingSite::One:
        return kSite1;
    case ReadingSite::Two:
        return kSite2;
    case ReadingSite::None:
        break;
    }
    return otherText;
}

}  // namespace marunoki
