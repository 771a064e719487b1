#include "core/spending/TariffPrices.h"

#include "core/calllog/CallTotals.h"
#include "core/seams/DayCount.h"
#include "core/tariff/RateFile.h"

std::optional<TariffPrices> TariffPrices::from(const RateTable& table, QString* reason) {
    TariffPrices prices;
    WorkingValues charges;
    LoadResult loaded = loadWorkingValues(table, 20, charges);
    for (int code = 1; code <= 12 && loaded.outcome == LoadResult::Loaded; ++code) {
        prices.m_byRateCode[size_t(code - 1)] = charges;
        loaded = loadWorkingValues(table, code, prices.m_byRateCode[size_t(code - 1)]);
    }
    if (loaded.outcome == LoadResult::Loaded)
        return prices;
    if (reason)
        *reason = RateFileCodec::notANumberText(loaded.badText);
    return std::nullopt;
}

std::optional<TariffPrices> TariffPrices::read(const QString& rateFilePath, QString* reason) {
    const std::optional<RateTable> table = readRateFile(rateFilePath, reason);
    return table ? from(*table, reason) : std::nullopt;
}

bool TariffPrices::canPrice(const CallRecord& call) {
    return TimeBandOfRateCode(call.rateCode) != 0 && DayCount::isLength(call.duration);
}

CallCost TariffPrices::priceOf(const CallRecord& call) const {
    // The rate code is the slot of its band and distance's per-minute rate.
    return callCostOf(m_byRateCode[size_t(call.rateCode - 1)], call.duration);
}

Charge TariffPrices::priceOf(const CallRecord& call, BillingRun& run) const {
    const int band = TimeBandOfRateCode(call.rateCode);
    const int billed = run.bandOf(band, call.startTime);
    return run.charge(m_byRateCode[size_t(call.rateCode - band + billed - 1)], call.startTime, billed,
                      call.duration);
}
