#pragma once

#include "core/calllog/CallRecord.h"
#include "core/tariff/Billing.h"
#include "core/tariff/Costing.h"

#include <QString>

#include <array>
#include <optional>

struct RateTable;

// One rate file's prices for every rate code, read once: the working values
// the meter loads for a call of each band and distance, so a logged call is
// priced again exactly as the meter prices a call of its length.
class TariffPrices {
public:
    // Nothing, and why, when a slot of the table is not a number.
    static std::optional<TariffPrices> from(const RateTable& table, QString* reason = nullptr);
    // The rate file read once; nothing, and why, when it cannot be read or a
    // slot is not a number.
    static std::optional<TariffPrices> read(const QString& rateFilePath, QString* reason = nullptr);

    // Whether a logged call can be priced at all: its rate code names a band
    // and distance, and its duration is a length of time.
    static bool canPrice(const CallRecord& call);
    // The costs the meter logs for the call (canPrice must hold).
    CallCost priceOf(const CallRecord& call) const;
    // The same with a rate file's billing rules: in the band the call was
    // logged in, or Weekend on a holiday, its free minutes taken from the
    // run's, which is given the calls in the order they started.
    Charge priceOf(const CallRecord& call, BillingRun& run) const;

private:
    std::array<WorkingValues, 12> m_byRateCode;
};
