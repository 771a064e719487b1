#pragma once

#include "core/seams/NetworkLinks.h"

#include <QList>

// Network links the test reports by hand; present is what the first look finds.
class FakeNetworkLinks final : public NetworkLinks {
public:
    bool available = true; // open() succeeds
    int opens = 0;
    QString failureText; // failure()
    QList<Link> present;

    bool open(Callback callback) override {
        ++opens;
        if (!available)
            return false;
        m_callback = std::move(callback);
        for (const Link& link : std::as_const(present))
            report(link, Change::FirstLook);
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
        Link l;
        l.index = index;
        l.name = name;
        l.up = l.running = connected;
        l.carrier = connected;
        return l;
    }

private:
    Callback m_callback;
};
