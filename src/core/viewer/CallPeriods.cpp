#include "core/viewer/CallPeriods.h"

#include "core/seams/DayCount.h"
#include "core/viewer/CallSort.h"
#include "core/viewer/ViewerColumns.h"

#include <algorithm>

std::optional<size_t> firstCallOfPeriod(const std::vector<CallRecord>& byDate, SelectionPeriod period,
                                        double now) {
    const qint64 day = DayCount::dayNumber(now);
    const double today = double(day);
    double first = today; // the first day of the period
    switch (period) {
    case SelectionPeriod::Today:
        break;
    case SelectionPeriod::Week:
        first = double(DayCount::weekStart(day));
        break;
    case SelectionPeriod::Month:
        first = double(DayCount::billPeriodStart(day, 1));
        break;
    case SelectionPeriod::Year:
        first = today - DayCount::dateOfDay(day).dayOfYear() + 1;
        break;
    }
    for (size_t row = 0; row < byDate.size(); ++row) {
        const double day = DayCount::dateOf(byDate[row].date);
        if (period == SelectionPeriod::Today ? day == today : day >= first)
            return row;
    }
    return std::nullopt;
}

std::vector<CallRecord> callsOfPeriod(const std::vector<CallRecord>& logged, SelectionPeriod period,
                                      double now) {
    std::vector<quint32> order;
    sortCalls(logged, DateColumn, true, {}, order);
    std::vector<CallRecord> byDate;
    byDate.reserve(order.size());
    for (quint32 index : order)
        byDate.push_back(logged[index]);
    const std::optional<size_t> first = firstCallOfPeriod(byDate, period, now);
    if (!first)
        return {};
    std::vector<quint32> chosen(order.begin() + qsizetype(*first), order.end());
    std::sort(chosen.begin(), chosen.end());
    std::vector<CallRecord> calls;
    calls.reserve(chosen.size());
    for (quint32 index : chosen)
        calls.push_back(logged[index]);
    return calls;
}
