#pragma once

#include "core/seams/LineMonitor.h"

#include <QHash>
#include <QList>

// A line whose call states the test reports by hand.
class FakeLineMonitor final : public LineMonitor {
public:
    bool available = true; // open() succeeds
    int opens = 0, closes = 0;
    QList<quint32> deallocated;
    QString failureText;             // failure()
    QHash<quint32, QString> numbers; // numberOf(), by call handle

    bool open(Callback callback) override {
        ++opens;
        if (!available)
            return false;
        m_callback = std::move(callback);
        return true;
    }
    void close() override {
        ++closes;
        m_callback = nullptr;
    }
    bool isOpen() const override { return bool(m_callback); }
    void deallocateCall(quint32 callHandle) override { deallocated << callHandle; }
    QString failure() const override { return failureText; }
    QString numberOf(quint32 callHandle) const override { return numbers.value(callHandle); }

    void report(quint32 callHandle, quint32 state) {
        if (m_callback)
            m_callback(callHandle, state);
    }

private:
    Callback m_callback;
};
