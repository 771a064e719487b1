#include "gui/shell/WindowSystem.h"

#include <QGuiApplication>
#include <QWindow>

namespace {
bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
} // namespace

bool WindowSystem::placesWindows() const {
    return !onWayland();
}

bool WindowSystem::keepsOnTop() const {
    return !onWayland();
}

// A minimised window is taken off the screen; one the desktop left where it
// was is still shown, whatever state Qt was asked for.
bool WindowSystem::isMinimised(const QWindow* window) const {
    return window && (window->windowStates() & Qt::WindowMinimized) && !window->isExposed();
}

// Qt's Wayland platform asks with the token in the environment at the next
// activation, and clears it.
void WindowSystem::useActivationToken(const QString& token) {
    if (token.isEmpty())
        qunsetenv("XDG_ACTIVATION_TOKEN");
    else
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
}
