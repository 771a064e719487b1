#include "core/spending/TariffBars.h"

#include "core/seams/DayCount.h"

#include <algorithm>

TariffBars TariffBars::compute(const CallLog& log, const std::vector<SpendBar>& bars,
                               const TariffPrices& prices, const BillingRules& rules, int billDay) {
    TariffBars result;
    std::vector<std::pair<size_t, CallRecord>> billed; // priced once all are read
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
            const size_t bar = size_t(std::prev(after) - bars.begin());
            if (rules.isEmpty())
                result.m_gross[bar].add(prices.priceOf(call).storedGross());
            else
                billed.emplace_back(bar, call);
        },
        &reason, &missing);
    std::stable_sort(billed.begin(), billed.end(),
                     [](const auto& a, const auto& b) { return a.second.startTime < b.second.startTime; });
    BillingRun run(rules, billDay);
    for (const auto& [bar, call] : billed)
        result.m_gross[bar].add(prices.priceOf(call, run).cost.storedGross());
    if (!result.m_logRead && missing)
        result.m_logRead = true;
    else if (!result.m_logRead)
        result.m_failure = reason;
    return result;
}
