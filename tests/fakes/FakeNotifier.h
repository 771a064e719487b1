#pragma once

#include "core/seams/Notifier.h"

#include <vector>

// Records the notices shown; a failing one shows none and says so.
class FakeNotifier final : public Notifier {
public:
    std::vector<Notice> sent;
    bool failing = false;

    using Notifier::notify;
    void notify(const Notice& notice, Shown shown) override {
        if (!failing)
            sent.push_back(notice);
        if (shown)
            shown(!failing);
    }
};
