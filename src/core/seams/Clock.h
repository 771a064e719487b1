#pragma once

// Local wall-clock time as a day count since 30 December 1899, the fraction
// being the time of day, at millisecond resolution.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

class SystemClock final : public Clock {
public:
    double now() const override;
};
