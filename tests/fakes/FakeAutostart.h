#pragma once

#include "core/seams/Autostart.h"

class FakeAutostart final : public Autostart {
public:
    bool present = false;
    QString failure; // returned by enable() when set
    QString enabledWith;
    bool exists() const override { return present; }
    QString enable(const QString& programPath) override {
        if (!failure.isEmpty())
            return failure;
        present = true;
        enabledWith = programPath;
        return {};
    }
    void disable() override { present = false; }
};
