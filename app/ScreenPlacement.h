#pragma once

#include <QList>
#include <QRect>

// Where a window remembered at `window` (frame rectangle, screen
// coordinates) is put back so the user can see and reach all of it: on the
// screen it overlaps most, or else the nearest, moved (and if need be made
// smaller) to lie wholly inside that screen's available area. A window
// already wholly inside one screen stays exactly where it is. `screens` are
// the available areas; with none the window is returned as it is.
QRect PlaceOnScreen(const QRect& window, const QList<QRect>& screens);
