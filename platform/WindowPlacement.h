#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the main window may go, as plain geometry so it is tested without a window system.
namespace WindowPlacement {

// Room kept for a title bar that the window manager has not drawn yet.
constexpr int TitleBarHeight = 32;

// False where the window system never tells a window where it is (Wayland).
bool platformGivesPositions();

// The saved top-left of a window of this size, moved onto the nearest screen when its
// title bar would lie off every one of them.
QPoint placeOnScreens(QPoint wanted, QSize frame, const QList<QRect>& screens);

} // namespace WindowPlacement
