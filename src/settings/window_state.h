#pragma once
// What the desktop window remembers from one run to the next: its size and
// place, the race chosen last, the view shown and the per-run grid's height. Kept in the settings file
// (marunoki.ini) in a section of our own, "MarunokiWindow", which the Windows
// program never reads; its own sections are left as they are.
//
// Reading never fails: a missing or unreadable file, or a value that is no
// number or out of range, leaves that part unremembered. Writing replaces the
// whole file atomically; a failure leaves the old file whole and comes back as
// a Status (the window ends anyway).

#include "app/common.h"
#include "app/status.h"

#include <QList>
#include <QMargins>
#include <QRect>
#include <QString>

#include <optional>

namespace marunoki {

struct WindowState {
    // The window's frame when not maximised, in screen coordinates.
    std::optional<QRect> geometry;
    bool maximized = false;
    // The selection boxes' texts as the user left them (year, course, meeting,
    // day, race); empty when not remembered.
    QString year;
    QString course;
    QString meeting;
    QString day;
    QString race;
    // "graph", "bacyu" or "hikaku"; empty when not remembered.
    QString view;
    // The per-run grid's height as the user set it by moving the line above
    // it; nothing while the window shares the column itself.
    std::optional<int> gridHeight;

    bool operator==(const WindowState &) const = default;
};

// The frame a window manager puts around a window (title bar above, borders),
// used until the window is shown and its own frame is known.
inline const QMargins kUsualWindowFrame(8, 36, 8, 8);

// Where a remembered window goes on the screens there are now (their available
// areas). `remembered` is the window's inside (what normalGeometry() gives);
// `frame` the margins the window manager adds around it. The result is the
// inside to set, on the screen the remembered window overlaps most, such that
// the whole frame, title bar included, lies on that screen: made no larger than
// the screen allows (and no smaller than `minimum` where the screen allows) and
// moved inside it. Nothing when it overlaps no screen (a screen since unplugged):
// the window then takes its usual place.
[[nodiscard]] std::optional<QRect> placeOnScreens(
    const QRect &remembered, const QMargins &frame, const QList<QRect> &screens, const QSize &minimum);

[[nodiscard]] WindowState readWindowState(const AppFolder &folder);
Status writeWindowState(const AppFolder &folder, const WindowState &state);

}  // namespace marunoki
