#include "core/calllog/CallTotals.h"

#include "core/seams/DayCount.h"
#include "core/spending/Money.h"

QString PluralSuffix(qint64 count) {
    return count == 1 ? QString() : QStringLiteral("s");
}

int TimeBandOfRateCode(int rateCode) {
    if (rateCode < 1 || rateCode > 12)
        return 0;
    return (rateCode - 1) % 3 + 1;
}

CallTotals findCallTotals(const CallLog& log, double now, QString* failure) {
    const qint64 todayNumber = DayCount::dayNumber(now);
    const double today = double(todayNumber);
    const double weekStart = double(DayCount::weekStart(todayNumber));
    CallTotals totals;
    MoneySum week;
    MoneySum day;
    QString reason;
    bool missing = false;
    const bool read = log.forEach(
        [&](const CallRecord& r) {
            // A damaged start is no time at all, not one in the future.
            if (DayCount::isDayCount(r.startTime) && r.startTime > weekStart) {
                ++totals.weekCount;
                week.add(r.grossCost);
                if (r.startTime > today) {
                    ++totals.todayCount;
                    day.add(r.grossCost);
                }
            }
        },
        &reason, &missing);
    if (failure)
        *failure = read || missing ? QString() : QStringLiteral("%1: %2").arg(log.path(), reason);
    totals.weekTotal = week.total();
    totals.todayTotal = day.total();
    return totals;
}

namespace {
QString line(qint64 count, double total, const QString& mainSymbol, const char* period) {
    return QStringLiteral("%1 call%2 %3 totalling %4")
        .arg(count)
        .arg(PluralSuffix(count), QLatin1String(period), Money::totalText(total, mainSymbol));
}
} // namespace

QString todayText(const CallTotals& totals, const QString& mainSymbol) {
    if (totals.todayCount == 0)
        return QStringLiteral("No calls made today");
    return line(totals.todayCount, totals.todayTotal, mainSymbol, "today");
}

QString weekText(const CallTotals& totals, const QString& mainSymbol) {
    if (totals.weekCount == 0)
        return QStringLiteral("No calls made this Week");
    return line(totals.weekCount, totals.weekTotal, mainSymbol, "this week");
}
