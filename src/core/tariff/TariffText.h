#pragma once

#include <QString>

struct BillingRules;
struct RateTable;

// A rate file and its billing rules as a person reads them: the rates by
// distance and band, the charges, then each rule.
QString tariffText(const QString& rateName, const RateTable& table, const BillingRules& rules,
                   const QString& mainSymbol);
