#include "platform/Clock.h"

#include "platform/DayCount.h"

#include <QDateTime>

double SystemClock::now() const {
    return DayCount::fromDateTime(QDateTime::currentDateTime());
}
