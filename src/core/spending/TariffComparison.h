#pragma once

#include "core/calllog/CallRecord.h"
#include "core/spending/Money.h"
#include "core/spending/TariffPrices.h"

#include <QString>

#include <optional>
#include <vector>

// What the calls would have cost with one rate file.
struct TariffRow {
    QString rateName; // the file's name without ".dtr"
    bool inUse = false;
    QString failure; // why the file could not be read; empty when it was
    qint64 calls = 0;
    MoneySum net;
    MoneySum gross;
    double difference = 0; // gross less what the same calls cost as logged
    qint64 cheaper = 0;    // calls that would have cost less, tax included, as shown
};

// Which tariff would have been cheapest: the calls given, priced again with
// every rate file of the data directory in one pass. Each file is read once,
// when the comparison is made. A call is priced as the meter priced it when
// it was timed, so the rate file it was timed with gives the logged costs to
// the last stored digit.
class TariffComparison {
public:
    // The rate files of the directory; activeRateName (empty for none) is
    // marked as the one in use, and listed with its reason when it cannot be
    // read, even when it is missing.
    TariffComparison(const QString& programDirectory, const QString& activeRateName);

    // The name of the rate file the meter uses, from the settings file; empty
    // when none is set.
    static QString activeRateName(const QString& programDirectory);

    void add(const CallRecord& call);

    // Cheapest first (by the cost with tax, then by name); the files that
    // could not be read after them, by name.
    std::vector<TariffRow> rows() const;
    // The calls priced and what they cost as logged.
    qint64 pricedCalls() const { return m_priced; }
    const MoneySum& loggedNet() const { return m_loggedNet; }
    const MoneySum& loggedGross() const { return m_loggedGross; }
    // Calls with a rate code out of range or a damaged duration: left out of
    // every figure, never priced as something else.
    qint64 unpricedCalls() const { return m_unpriced; }

private:
    struct Tariff {
        TariffRow row;
        std::optional<TariffPrices> prices;
    };
    void addTariff(const QString& programDirectory, const QString& rateName, bool inUse);

    std::vector<Tariff> m_tariffs;
    qint64 m_priced = 0;
    qint64 m_unpriced = 0;
    MoneySum m_loggedNet;
    MoneySum m_loggedGross;
};
