#pragma once

#include <QtGlobal>

// Two readings of the time. now(): local wall-clock time as a day count since
// 30 December 1899, the fraction being the time of day, at millisecond
// resolution; it is what a call's start and end are stored as, and it jumps
// when the clock is set or summer time begins or ends. monotonicMs(): a count
// of milliseconds from an arbitrary origin that only runs forward, at the same
// pace as the time a call lasts; lengths are measured on it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
    virtual qint64 monotonicMs() const = 0;
};

class SystemClock final : public Clock {
public:
    double now() const override;
    qint64 monotonicMs() const override;
};
