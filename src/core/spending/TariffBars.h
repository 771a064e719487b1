#pragma once

#include "core/calllog/CallLog.h"
#include "core/spending/Money.h"
#include "core/spending/SpendingFigures.h"
#include "core/spending/TariffPrices.h"

#include <QString>

#include <vector>

// What the calls of each bar of a chart would have cost, tax included, with
// another rate file: each call priced as the tariff comparison prices it, and
// dated as the spending figures date it. With billing rules the calls of the
// bars are priced in the order they started, the free minutes per bill period.
class TariffBars {
public:
    // One pass over the log. A missing log is a log without calls.
    static TariffBars compute(const CallLog& log, const std::vector<SpendBar>& bars,
                              const TariffPrices& prices, const BillingRules& rules = {}, int billDay = 1);

    // One per bar, in the bars' order.
    const std::vector<MoneySum>& gross() const { return m_gross; }
    // The calls in the bars that could not be priced, in no sum.
    qint64 unpricedCalls() const { return m_unpriced; }
    bool logRead() const { return m_logRead; }
    const QString& readFailure() const { return m_failure; }

private:
    std::vector<MoneySum> m_gross;
    qint64 m_unpriced = 0;
    bool m_logRead = true;
    QString m_failure;
};
