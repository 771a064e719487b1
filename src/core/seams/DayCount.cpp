#include "core/seams/DayCount.h"

#include "core/storage/StoredNumber.h"

#include <algorithm>
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

bool isLength(double days) {
    return days >= 0 && isDayCount(days);
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

QDate toDate(double days) {
    return Epoch.addDays(floorDiv(toMs(days), MsPerDay));
}

qint64 toMs(double days) {
    if (!isDayCount(days))
        return 0;
    return StoredNumber::toInteger(days * double(MsPerDay), StoredNumber::Rounding::Nearest).value_or(0);
}

double fromMs(qint64 ms) {
    return double(ms) / double(MsPerDay);
}

double dateOf(double days) {
    if (!isDayCount(days))
        return std::nan("");
    return double(dayNumber(days));
}

qint64 dayNumber(double days) {
    if (!isDayCount(days))
        return 0;
    // A count well inside its day needs no rounding to the millisecond: this
    // is the common case, and the exact way below takes a division.
    const double part = days - std::floor(days);
    if (part > EdgeOfDay && part < 1 - EdgeOfDay)
        return StoredNumber::toInteger(days, StoredNumber::Rounding::Down).value_or(0);
    return floorDiv(toMs(days), MsPerDay);
}

QDate dateOfDay(qint64 day) {
    return Epoch.addDays(day);
}

qint64 dayOfDate(QDate date) {
    return Epoch.daysTo(date);
}

qint64 weekStart(qint64 day) {
    return day - mondayWeekday(double(day)) + 1;
}

qint64 billPeriodStart(qint64 day, int billDay) {
    const QDate date = dateOfDay(day);
    const int first = std::clamp(billDay, 1, 28);
    QDate start(date.year(), date.month(), first);
    if (date.day() < first)
        start = start.addMonths(-1);
    return dayOfDate(start);
}

qint64 nextBillPeriodStart(qint64 periodStart) {
    // The start day is at most the 28th, so every month has it.
    return dayOfDate(dateOfDay(periodStart).addMonths(1));
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
    if (!isLength(days))
        return {};
    const qint64 ms = toMs(days) % MsPerDay;
    const int seconds = int(ms / 1000);
    const int parts[] = {seconds / 3600, seconds / 60 % 60, seconds % 60};
    QChar text[8];
    for (int i = 0; i < 3; ++i) {
        text[i * 3] = QChar(u'0' + parts[i] / 10);
        text[i * 3 + 1] = QChar(u'0' + parts[i] % 10);
        if (i < 2)
            text[i * 3 + 2] = u':';
    }
    return QString(text, 8);
}

} // namespace DayCount
