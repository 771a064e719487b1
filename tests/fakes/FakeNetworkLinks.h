#pragma once

#include "core/seams/NetworkLinks.h"

// Network links the test reports by hand.
class FakeNetworkLinks final : public NetworkLinks {
public:
    int opens = 0;
    QString failureText; // failure()

    bool open(Callback callback) override {
        ++opens;
        m_callback = std::move(callback);
        return true;
    }
    void close() override { m_callback = nullptr; }
    bool isOpen() const override { return bool(m_callback); }
    QString failure() const override { return failureText; }

    void report(const Link& link, Change change = Change::Changed) {
        // The line may close this in answer.
        if (const Callback callback = m_callback)
            callback(link, change);
    }
    // A link switched on and running (a connection made), or switched off.
    static Link link(int index, const QString& name, bool connected) {
        return {index, name, connected, connected, connected};
    }

private:
    Callback m_callback;
};
