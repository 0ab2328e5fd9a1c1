#pragma once
// The colours the graphs name by number: the sixteen colours of the QBasic
// palette, and the two system colours the views use. The program always draws
// with the classic scheme, dark text on a light window, so the system colours are
// fixed here rather than taken from the desktop theme: a printed graph looks the
// same on every machine.

#include <QColor>

namespace marunoki {

// Colour n (0..15) of the QBasic palette: 0 black, 3 cyan (0,128,128), 5 magenta
// (128,0,128), 8 grey (128,128,128), 9 light blue (0,0,255), 12 light red
// (255,0,0), 14 light yellow (255,255,0), 15 white, and so on. A number outside
// 0..15 gives black.
inline QColor qbColor(int n)
{
    static constexpr int palette[16][3] = {{0, 0, 0}, {0, 0, 128}, {0, 128, 0}, {0, 128, 128}, {128, 0, 0},
        {128, 0, 128}, {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0},
        {0, 255, 255}, {255, 0, 0}, {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    if (n < 0 || n > 15)
        return QColor(0, 0, 0);
    return QColor(palette[n][0], palette[n][1], palette[n][2]);
}

// System colour "window text" (the text and frame colour of windows): black.
inline QColor windowTextColor()
{
    return QColor(0, 0, 0);
}

// System colour "window" (the background of windows and picture boxes): white.
inline QColor windowBackgroundColor()
{
    return QColor(255, 255, 255);
}

}  // namespace marunoki
