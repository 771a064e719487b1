#pragma once

#include <QDateTime>
#include <QString>

// Date-times are held as a day count since 30 December 1899 in local time,
// the fraction being the time of day. These helpers convert between that
// count and the calendar.
namespace DayCount {

constexpr qint64 MsPerDay = 86'400'000;

double fromDateTime(const QDateTime& local);
QDateTime toDateTime(double days);
// The calendar day alone, with no local time to build (so no look at the time zone).
QDate toDate(double days);
// Whole milliseconds since the epoch day, rounded to the nearest.
qint64 toMs(double days);
double fromMs(qint64 ms);
// Midnight at the start of the day.
double dateOf(double days);
// Milliseconds since midnight, 0..86399999.
int timeOfDayMs(double days);
// 1 Sunday .. 7 Saturday, as stored in the call log.
int storedDayOfWeek(double days);
// 1 Monday .. 7 Sunday.
int mondayWeekday(double days);
// "hh:mm:ss" of a duration in days; whole days are dropped and seconds cut, not rounded.
QString durationText(double days);

} // namespace DayCount
