#include "core/viewer/CallPeriods.h"

#include "core/seams/DayCount.h"
#include "core/viewer/CallSort.h"
#include "core/viewer/ViewerColumns.h"

#include <QDate>

#include <algorithm>

std::optional<size_t> firstCallOfPeriod(const std::vector<CallRecord>& byDate, SelectionPeriod period,
                                        double now) {
    const double today = DayCount::dateOf(now);
    double first = today; // the first day of the period
    const QDate date = DayCount::toDateTime(now).date();
    switch (period) {
    case SelectionPeriod::Today:
        break;
    case SelectionPeriod::Week:
        first = today - DayCount::mondayWeekday(now) + 1;
        break;
    case SelectionPeriod::Month:
        first = today - date.day() + 1;
        break;
    case SelectionPeriod::Year:
        first = today - date.dayOfYear() + 1;
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
