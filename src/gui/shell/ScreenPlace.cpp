#include "gui/shell/ScreenPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace ScreenPlace {

namespace {
qint64 gapBetween(const QRect& a, const QRect& b) {
    const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

int within(int start, int length, int areaStart, int areaLength) {
    if (length >= areaLength)
        return areaStart;
    return std::clamp(start, areaStart, areaStart + areaLength - length);
}
} // namespace

QPoint whole(const QRect& frame, const QList<QRect>& screens) {
    if (screens.isEmpty())
        return frame.topLeft();
    const auto shown = [&](const QRect& screen) {
        const QRect common = screen.intersected(frame);
        return qint64(common.width()) * common.height();
    };
    const auto best = std::min_element(screens.begin(), screens.end(), [&](const QRect& a, const QRect& b) {
        const qint64 shownA = shown(a), shownB = shown(b);
        return shownA != shownB ? shownA > shownB : gapBetween(a, frame) < gapBetween(b, frame);
    });
    return QPoint(within(frame.x(), frame.width(), best->x(), best->width()),
                  within(frame.y(), frame.height(), best->y(), best->height()));
}

QPoint onScreen(const QRect& frame, const QList<QRect>& screens) {
    // The top edge carries the title bar, by which the window is moved: it must be seen.
    const QRect topEdge(frame.topLeft(), QSize(frame.width(), 1));
    if (std::any_of(screens.begin(), screens.end(),
                    [&](const QRect& screen) { return screen.intersects(topEdge); }))
        return frame.topLeft();
    return whole(frame, screens);
}

namespace {
QList<QRect> desktop() {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    return screens;
}
} // namespace

QPoint onScreen(const QRect& frame) {
    return onScreen(frame, desktop());
}

QPoint whole(const QRect& frame) {
    return whole(frame, desktop());
}

void moveOnScreen(QWidget* window, QPoint topLeft) {
    window->move(onScreen(QRect(topLeft, window->frameGeometry().size())));
}

} // namespace ScreenPlace
