#include "core/viewer/CallPeriods.h"

#include "core/seams/DayCount.h"

namespace {
// Midnight of the period's first day.
double firstDay(SelectionPeriod period, double now) {
    const qint64 day = DayCount::dayNumber(now);
    const double today = double(day);
    switch (period) {
    case SelectionPeriod::Today:
        break;
    case SelectionPeriod::Week:
        return double(DayCount::weekStart(day));
    case SelectionPeriod::Month:
        return double(DayCount::billPeriodStart(day, 1));
    case SelectionPeriod::Year:
        return today - DayCount::dateOfDay(day).dayOfYear() + 1;
    }
    return today;
}
} // namespace

bool inPeriod(const CallRecord& call, SelectionPeriod period, double now) {
    return DayCount::dateOf(call.date) >= firstDay(period, now);
}

bool isOfToday(const CallRecord& call, double now) {
    return DayCount::dateOf(call.date) == double(DayCount::dayNumber(now));
}

std::vector<size_t> callsInPeriod(const std::vector<CallRecord>& calls, SelectionPeriod period, double now) {
    const double first = firstDay(period, now);
    bool opened = period != SelectionPeriod::Today;
    std::vector<size_t> taken;
    for (size_t i = 0; i < calls.size(); ++i) {
        const double day = DayCount::dateOf(calls[i].date);
        if (day >= first) {
            taken.push_back(i);
            opened = opened || day == first;
        }
    }
    if (!opened)
        taken.clear();
    return taken;
}
