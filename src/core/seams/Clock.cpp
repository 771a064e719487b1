#include "core/seams/Clock.h"

#include "core/seams/DayCount.h"

#include <QDateTime>

double SystemClock::now() const {
    return DayCount::fromDateTime(QDateTime::currentDateTime());
}
