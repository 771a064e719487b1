#include "core/viewer/CallPeriods.h"

#include "core/seams/DayCount.h"

#include <QDate>

namespace {
double firstDayOf(SelectionPeriod period, double now) {
    const double today = DayCount::dateOf(now);
    switch (period) {
    case SelectionPeriod::Today:
        break;
    case SelectionPeriod::Week:
        return today - DayCount::mondayWeekday(now) + 1;
    case SelectionPeriod::Month:
        return today - DayCount::toDate(now).day() + 1;
    case SelectionPeriod::Year:
        return today - DayCount::toDate(now).dayOfYear() + 1;
    }
    return today;
}
} // namespace

bool inPeriod(const CallRecord& call, SelectionPeriod period, double now) {
    return DayCount::dateOf(call.date) >= firstDayOf(period, now);
}

std::optional<size_t> firstCallOfPeriod(const std::vector<CallRecord>& byDate, SelectionPeriod period,
                                        double now) {
    for (size_t row = 0; row < byDate.size(); ++row) {
        if (inPeriod(byDate[row], period, now))
            return row;
    }
    return std::nullopt;
}
