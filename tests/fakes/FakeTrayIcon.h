#pragma once

#include "core/seams/TrayIcon.h"

#include <QStringList>

// Records what reaches the notification area ("add mini|tip", "image mini2",
// "tip ...", "remove", "message title|text"); the test plays the user's clicks.
class FakeTrayIcon final : public TrayIcon {
public:
    bool available = true;
    bool showsMessages = true;
    QStringList calls;
    QMenu* menu = nullptr;

    bool isAvailable() const override { return available; }
    void setMenu(QMenu* shown) override { menu = shown; }
    void click(Action action) { reportAction(action); }
    void setAvailable(bool now) {
        available = now;
        reportAvailability(now);
    }

protected:
    void add(const QString& image, const QString& tip) override {
        calls << QStringLiteral("add %1|%2").arg(image, tip);
    }
    void changeImage(const QString& image) override { calls << QStringLiteral("image ") + image; }
    void changeTip(const QString& tip) override { calls << QStringLiteral("tip ") + tip; }
    void remove() override { calls << QStringLiteral("remove"); }
    bool showMessage(const QString& title, const QString& text, int) override {
        if (showsMessages)
            calls << QStringLiteral("message %1|%2").arg(title, text);
        return showsMessages;
    }
};
