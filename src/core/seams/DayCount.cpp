#include "core/seams/DayCount.h"

#include <cmath>

namespace DayCount {

namespace {
// 30 December 1899, as a constant so that no static initialisation order can see it unset.
constexpr QDate Epoch = QDate::fromJulianDay(2415019);

qint64 floorDiv(qint64 a, qint64 b) {
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}
} // namespace

bool isDayCount(double days) {
    return std::fabs(days) < Largest; // false for NaN too
}

double fromDateTime(const QDateTime& local) {
    const QDateTime t = local.toLocalTime();
    const qint64 day = Epoch.daysTo(t.date());
    return fromMs(day * MsPerDay + t.time().msecsSinceStartOfDay());
}

QDateTime toDateTime(double days) {
    if (!isDayCount(days))
        return {};
    const qint64 ms = toMs(days);
    const qint64 day = floorDiv(ms, MsPerDay);
    const int inDay = int(ms - day * MsPerDay);
    return QDateTime(Epoch.addDays(day), QTime::fromMSecsSinceStartOfDay(inDay));
}

qint64 toMs(double days) {
    return isDayCount(days) ? std::llround(days * double(MsPerDay)) : 0;
}

double fromMs(qint64 ms) {
    return double(ms) / double(MsPerDay);
}

double dateOf(double days) {
    if (!isDayCount(days))
        return std::nan("");
    return double(floorDiv(toMs(days), MsPerDay));
}

int timeOfDayMs(double days) {
    const qint64 ms = toMs(days);
    return int(ms - floorDiv(ms, MsPerDay) * MsPerDay);
}

int storedDayOfWeek(double days) {
    // Day 0 (30 December 1899) was a Saturday.
    const qint64 day = floorDiv(toMs(days), MsPerDay);
    const qint64 r = ((day % 7) + 7) % 7; // 0 Saturday
    return r == 0 ? 7 : int(r);
}

int mondayWeekday(double days) {
    const int sundayFirst = storedDayOfWeek(days);
    return sundayFirst == 1 ? 7 : sundayFirst - 1;
}

QString durationText(double days) {
    if (!isDayCount(days))
        return {};
    const qint64 ms = std::llabs(toMs(days)) % MsPerDay;
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QChar('0'))
        .arg((seconds / 60) % 60, 2, 10, QChar('0'))
        .arg(seconds % 60, 2, 10, QChar('0'));
}

} // namespace DayCount
