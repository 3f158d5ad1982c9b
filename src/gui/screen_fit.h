#pragma once
// Keeping the program's windows on the screens there are now: a position saved on a monitor
// that is gone, or a size larger than the screen (a scale factor of 2), must not leave a window
// or its buttons out of reach.

#include <QList>
#include <QRect>

class QWidget;

namespace zynta::gui {

// A rectangle that lies mostly (half of it or more) on one of the areas and fits it stays where
// it is. Any other is shrunk to fit the area it overlaps most (the nearest one when it overlaps
// none) and moved inside it. No areas: the rectangle as it is.
QRect FitOnScreens(const QRect& wanted, const QList<QRect>& areas);

// The free areas of the current screens (without panels and docks).
QList<QRect> ScreenAreas();

// Moves and shrinks a top-level window (its frame, as far as the frame is known) by
// FitOnScreens onto the current screens.
void KeepOnScreen(QWidget* window);

}  // namespace zynta::gui
