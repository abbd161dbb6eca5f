#include "WindowPlacement.h"

#include <QGuiApplication>
#include <algorithm>
#include <cmath>

namespace WindowPlacement {

namespace {

// At least this much of the title bar's width on a screen lets the user grab it.
constexpr int GrabWidth = 64;

QRect titleBar(QPoint topLeft, QSize frame)
{
    return QRect(topLeft, QSize(frame.width(), TitleBarHeight));
}

bool reachable(const QRect& bar, const QRect& screen)
{
    const QRect shown = bar.intersected(screen);
    return shown.height() == bar.height() && shown.width() >= std::min(GrabWidth, bar.width());
}

double distance(const QRect& bar, const QRect& screen)
{
    const int dx = std::max({screen.left() - bar.right(), bar.left() - screen.right(), 0});
    const int dy = std::max({screen.top() - bar.bottom(), bar.top() - screen.bottom(), 0});
    return std::hypot(double(dx), double(dy));
}

} // namespace

bool platformGivesPositions()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QPoint placeOnScreens(QPoint wanted, QSize frame, const QList<QRect>& screens)
{
    const QRect bar = titleBar(wanted, frame);
    const auto onScreen = [&bar](const QRect& screen) { return reachable(bar, screen); };
    if (screens.isEmpty() || std::any_of(screens.begin(), screens.end(), onScreen))
        return wanted;
    const QRect nearest = *std::min_element(screens.begin(), screens.end(), [&](const QRect& a, const QRect& b) {
        return distance(bar, a) < distance(bar, b);
    });
    // As much of the window as fits, its top-left corner first when it is larger than the screen.
    const int x = std::max(nearest.left(), std::min(wanted.x(), nearest.right() + 1 - frame.width()));
    const int y = std::max(nearest.top(), std::min(wanted.y(), nearest.bottom() + 1 - frame.height()));
    return {x, y};
}

} // namespace WindowPlacement
