#pragma once

#include "core/seams/Clock.h"
#include "core/seams/DayCount.h"

#include <QDateTime>
#include <QTimeZone>

// A clock that stands still until told to move. Its two readings part as a
// computer's do: time passing moves both, setting the clock moves the wall
// clock alone, and a clock that follows a time zone turns its wall clock at
// the zone's changes to and from summer time.
class FakeClock final : public Clock {
public:
    explicit FakeClock(double days = 0) : m_wallMs(DayCount::toMs(days)) {}
    double now() const override { return DayCount::fromMs(m_wallMs); }
    qint64 monotonicMs() const override { return m_monotonicMs; }
    // Sets the clock, as a user or a time server would.
    void set(double days) { m_wallMs = DayCount::toMs(days); }
    void set(const QDateTime& local) { set(DayCount::fromDateTime(local)); }
    void advance(qint64 ms) {
        m_monotonicMs += ms;
        m_wallMs += ms;
        if (!m_zone.isValid())
            return;
        const int before = m_zone.offsetFromUtc(m_instant);
        m_instant = m_instant.addMSecs(ms);
        m_wallMs += 1000 * qint64(m_zone.offsetFromUtc(m_instant) - before);
    }
    // From the moment `instant` on, the wall clock shows the zone's local time.
    void follow(const QTimeZone& zone, const QDateTime& instant) {
        m_zone = zone;
        m_instant = instant;
        const QDateTime local = instant.toTimeZone(zone);
        m_wallMs =
            DayCount::dayOfDate(local.date()) * DayCount::MsPerDay + local.time().msecsSinceStartOfDay();
    }

private:
    qint64 m_wallMs;
    qint64 m_monotonicMs = 0;
    QTimeZone m_zone;
    QDateTime m_instant;
};
