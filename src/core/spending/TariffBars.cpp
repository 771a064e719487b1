#include "core/spending/TariffBars.h"

#include "core/seams/DayCount.h"

#include <algorithm>

TariffBars TariffBars::compute(const CallLog& log, const std::vector<SpendBar>& bars,
                               const TariffPrices& prices) {
    TariffBars result;
    result.m_gross.resize(bars.size());
    QString reason;
    bool missing = false;
    result.m_logRead = log.forEach(
        [&](const CallRecord& call) {
            if (!DayCount::isDayCount(call.date))
                return;
            const qint64 day = DayCount::dayNumber(call.date);
            // The bars are in order of their days, each ending where the next begins.
            const auto after =
                std::upper_bound(bars.begin(), bars.end(), day,
                                 [](qint64 d, const SpendBar& bar) { return d < bar.firstDay; });
            if (after == bars.begin() || day >= std::prev(after)->endDay)
                return;
            if (!TariffPrices::canPrice(call)) {
                ++result.m_unpriced;
                return;
            }
            result.m_gross[size_t(std::prev(after) - bars.begin())].add(prices.priceOf(call).storedGross());
        },
        &reason, &missing);
    if (!result.m_logRead && missing)
        result.m_logRead = true;
    else if (!result.m_logRead)
        result.m_failure = reason;
    return result;
}
