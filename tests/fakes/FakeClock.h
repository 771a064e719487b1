#pragma once

#include "core/seams/Clock.h"
#include "core/seams/DayCount.h"

#include <QDateTime>

// A clock that stands still until told to move. Time passing moves both its
// readings; setting it (by hand, or a change to or from summer time) moves the
// wall clock alone.
class FakeClock final : public Clock {
public:
    explicit FakeClock(double days = 0) : m_ms(DayCount::toMs(days)) {}
    double now() const override { return DayCount::fromMs(m_ms); }
    qint64 monotonicMs() const override { return m_monotonicMs; }
    void set(double days) { m_ms = DayCount::toMs(days); }
    void set(const QDateTime& local) { set(DayCount::fromDateTime(local)); }
    void advance(qint64 ms) {
        m_ms += ms;
        m_monotonicMs += ms;
    }

private:
    qint64 m_ms;
    qint64 m_monotonicMs = 0;
};
