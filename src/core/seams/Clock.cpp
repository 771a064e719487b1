#include "core/seams/Clock.h"

#include "core/seams/DayCount.h"

#include <QDateTime>

#include <time.h>

double SystemClock::now() const {
    return DayCount::fromDateTime(QDateTime::currentDateTime());
}

// CLOCK_BOOTTIME rather than CLOCK_MONOTONIC (QElapsedTimer's): it goes on
// counting while the computer is suspended. A call whose line stays up through
// a suspend is billed by the exchange for all of it, and the wall clock's
// start and end span that time too.
qint64 SystemClock::monotonicMs() const {
    timespec t{};
    clock_gettime(CLOCK_BOOTTIME, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}
