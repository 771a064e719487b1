#pragma once

#include <QDateTime>
#include <QString>

// Date-times are held as a day count since 30 December 1899 in local time,
// the fraction being the time of day. These helpers convert between that
// count and the calendar.
//
// A count beyond Largest either way (about the years -6300 and 10100), or not
// a number at all, is a damaged record rather than a date: it has no calendar
// date, and its milliseconds would overflow.
namespace DayCount {

constexpr qint64 MsPerDay = 86'400'000;
constexpr double Largest = 3.0e6;

bool isDayCount(double days);

double fromDateTime(const QDateTime& local);
// An invalid QDateTime for a damaged count.
QDateTime toDateTime(double days);
// Whole milliseconds since the epoch day, rounded to the nearest; 0 for a
// damaged count.
qint64 toMs(double days);
double fromMs(qint64 ms);
// Midnight at the start of the day. NaN for a damaged count, so that it
// falls on no day and in no period.
double dateOf(double days);
// Milliseconds since midnight, 0..86399999.
int timeOfDayMs(double days);
// 1 Sunday .. 7 Saturday, as stored in the call log.
int storedDayOfWeek(double days);
// 1 Monday .. 7 Sunday.
int mondayWeekday(double days);
// "hh:mm:ss" of a duration in days; whole days are dropped and seconds cut, not
// rounded. Empty for a damaged count.
QString durationText(double days);

} // namespace DayCount
