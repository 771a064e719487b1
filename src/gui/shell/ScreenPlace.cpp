#include "gui/shell/ScreenPlace.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>
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

QSize fitted(QSize wanted, QSize frame, const QRect& available) {
    return wanted.boundedTo((available.size() - frame).expandedTo(QSize(0, 0)));
}

namespace {
// The window manager's frame about a window: known once the window is shown,
// and before that the style's title bar and a border.
QSize frameOf(const QWidget* window) {
    const Qt::WindowType type = window->windowType();
    if (window->windowFlags().testFlag(Qt::FramelessWindowHint) || type == Qt::SplashScreen ||
        type == Qt::Popup || type == Qt::ToolTip)
        return {};
    if (window->isVisible())
        return window->frameGeometry().size() - window->size();
    constexpr int Border = 4;
    const int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return QSize(2 * Border, title + 2 * Border);
}
} // namespace

void fit(QWidget* window, QSize wanted, const QWidget* near) {
    const QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = near ? near->screen() : parent ? parent->screen() : window->screen();
    if (!screen) {
        window->resize(wanted);
        return;
    }
    // The least size a window's layout gives it is set once the layout runs.
    if (QLayout* layout = window->layout())
        layout->activate();
    const QRect available = screen->availableGeometry();
    const QSize frame = frameOf(window);
    window->resize(fitted(wanted, frame, available));
    QRect outer(QPoint(), window->size() + frame);
    outer.moveCenter(near ? near->frameGeometry().center() : available.center());
    window->move(whole(outer, {available}));
}

} // namespace ScreenPlace
