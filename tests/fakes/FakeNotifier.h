#pragma once

#include "core/seams/Notifier.h"

#include <vector>

// Records the notices sent.
class FakeNotifier final : public Notifier {
public:
    std::vector<Notice> sent;

    using Notifier::notify;
    void notify(const QString& title, const QString& text, const QString& iconName) override {
        sent.push_back({title, text, iconName});
    }
};
