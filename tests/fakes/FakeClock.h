#pragma once

#include "core/seams/Clock.h"
#include "core/seams/DayCount.h"

#include <QDateTime>

// A clock that stands still until told to move.
class FakeClock final : public Clock {
public:
    explicit FakeClock(double days = 0) : m_ms(DayCount::toMs(days)) {}
    double now() const override { return DayCount::fromMs(m_ms); }
    void set(double days) { m_ms = DayCount::toMs(days); }
    void set(const QDateTime& local) { set(DayCount::fromDateTime(local)); }
    void advance(qint64 ms) { m_ms += ms; }

private:
    qint64 m_ms;
};
