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

// Whether a count is a date the calendar can show: finite and within about
// eight thousand years of the epoch. Beyond that it is a damaged record.
bool isDayCount(double days);
// Whether a stored duration is a length of time: a count not below zero. A log
// written when lengths were wall-clock differences holds lengths below zero
// for calls across the clock going back; those are damaged, not negative.
bool isLength(double days);

double fromDateTime(const QDateTime& local);
// An invalid QDateTime for a damaged count.
QDateTime toDateTime(double days);
// The calendar day alone, with no local time to build (so no look at the time zone).
QDate toDate(double days);
// Whole milliseconds since the epoch day, rounded to the nearest; 0 for a
// damaged count.
qint64 toMs(double days);
double fromMs(qint64 ms);
// Midnight at the start of the day. NaN for a damaged count, so that it
// falls on no day and in no period.
double dateOf(double days);
// Whole days since the epoch day: the day of a date-time, as dateOf gives it;
// 0 for a damaged count (ask isDayCount first).
qint64 dayNumber(double days);
// A count more than this inside its day's span (in days, about 86 ms) is of
// that day whatever the rounding to the millisecond.
constexpr double EdgeOfDay = 1e-6;
QDate dateOfDay(qint64 day);
qint64 dayOfDate(QDate date);
// The Monday of the day's week: weeks run from Monday to Sunday.
qint64 weekStart(qint64 day);
// The first day of the bill period the day falls in. A period starts on day
// billDay (1..28) of a month and runs to the day before it in the next month;
// with billDay 1 the periods are the calendar months.
qint64 billPeriodStart(qint64 day, int billDay);
// The first day of the period after the one starting on periodStart.
qint64 nextBillPeriodStart(qint64 periodStart);
// Milliseconds since midnight, 0..86399999.
int timeOfDayMs(double days);
// 1 Sunday .. 7 Saturday, as stored in the call log.
int storedDayOfWeek(double days);
// 1 Monday .. 7 Sunday.
int mondayWeekday(double days);
// "hh:mm:ss" of a duration in days; whole days are dropped and seconds cut, not
// rounded. Empty for what is not a length.
QString durationText(double days);

} // namespace DayCount
