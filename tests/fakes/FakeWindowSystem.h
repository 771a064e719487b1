#pragma once

#include "gui/shell/WindowSystem.h"

#include <QWindow>

// Fixed answers, as a desktop would give them; the tokens passed on are kept.
class FakeWindowSystem final : public WindowSystem {
public:
    bool places = true;
    bool onTop = true;
    bool minimises = true;
    QStringList tokens;

    bool placesWindows() const override { return places; }
    bool keepsOnTop() const override { return onTop; }
    bool isMinimised(const QWindow* window) const override {
        return minimises && window && (window->windowStates() & Qt::WindowMinimized);
    }
    void useActivationToken(const QString& token) override { tokens << token; }
};
