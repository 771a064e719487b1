#pragma once

#include "core/seams/TrayIcon.h"

#include <QStringList>

// Records what reaches the notification area ("add mini|tip", "image mini2",
// "tip ...", "remove"); the test plays the user's clicks.
class FakeTrayIcon final : public TrayIcon {
public:
    bool available = true;
    QStringList calls;

    bool isAvailable() const override { return available; }
    void click(Action action) { reportAction(action); }

protected:
    void add(const QString& image, const QString& tip) override {
        calls << QStringLiteral("add %1|%2").arg(image, tip);
    }
    void changeImage(const QString& image) override { calls << QStringLiteral("image ") + image; }
    void changeTip(const QString& tip) override { calls << QStringLiteral("tip ") + tip; }
    void remove() override { calls << QStringLiteral("remove"); }
};
