#include "app/ScreenPlacement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

std::int64_t Area(const QRect& r) {
    return r.isEmpty() ? 0 : static_cast<std::int64_t>(r.width()) * r.height();
}

// How far apart two rectangles are (0 when they touch or overlap), squared.
std::int64_t DistanceSquared(const QRect& a, const QRect& b) {
    const std::int64_t dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const std::int64_t dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

QRect PlaceOnScreen(const QRect& window, const QList<QRect>& screens) {
    if (screens.isEmpty() ||
        std::any_of(screens.begin(), screens.end(),
                    [&window](const QRect& screen) { return screen.contains(window); })) {
        return window;
    }
    const QRect* best = &screens.front();
    std::int64_t bestOverlap = -1;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const QRect& screen : screens) {
        const std::int64_t overlap = Area(screen & window);
        const std::int64_t distance = DistanceSquared(screen, window);
        if (overlap > bestOverlap ||
            (overlap == 0 && bestOverlap == 0 && distance < bestDistance)) {
            best = &screen;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    QRect placed(window.topLeft(), window.size().boundedTo(best->size()));
    placed.moveLeft(std::clamp(placed.left(), best->left(), best->right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), best->top(), best->bottom() - placed.height() + 1));
    return placed;
}
