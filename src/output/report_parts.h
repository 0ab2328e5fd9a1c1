#pragma once
// What the pages of the HTML reports (a race's, a day's) share.
//
// - One list of fonts for every page, Japanese faces first in the order the
//   graphs are drawn with, so the day's index and each race's page look alike;
//   the same list is the fallback of the text in the SVG pictures, which name
//   only the face they were drawn with.
// - A race's title as the pages show it: Site 2's titles carry the race number
//   already ("10R 見本ステークス10"), which the pages put in front themselves.

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
class QRectF;

namespace marunoki {

class RaceStore;

// The CSS font-family list of every report page.
inline const QString kReportFonts = QStringLiteral(
    "'IPAPGothic','IPA PGothic','Noto Sans CJK JP','Hiragino Sans','Meiryo','MS PGothic',sans-serif");

// Text for the report's HTML and SVG: escaped, and without the control
// characters XML does not allow even escaped (a page field may carry them), so
// that the SVG files stay well formed and the HTML reads as XHTML as well.
QString xmlText(const QString &text);

// The SVG with every font-family attribute followed by kReportFonts.
QByteArray withFontFallback(const QByteArray &svg);

// A picture of `twips` as SVG bytes: vector drawing on white, sized for a screen
// at the pictures' resolution, text with the fallback fonts. `paint` draws into
// `target` (painter coordinates). Empty when it could not be drawn.
QByteArray svgOf(const QSizeF &twips, const QString &title,
    const std::function<void(QPainter &painter, const QRectF &target)> &paint);

// The title without a leading race number that equals `race` ("10R 見本" with
// race 10 gives "見本"); any other title as it is.
QString titleWithoutRaceNumber(const QString &title, int race);

// The heading of a race's page: date, course, race number and title, each part
// left out when not known ("2026/11/29 東京 11R サンプルカップ(GIII)").
QString raceHeading(double raceDate, const QString &course, int race, const QString &title);

// The lines of a panel's caption, empty lines left out.
QStringList captionLines(const QString &caption);

// The heading of the race in the store, its title the first line of the race
// panel's caption (raceInfo).
QString raceHeadingOf(const RaceStore &store, const QString &raceInfo);

}  // namespace marunoki
