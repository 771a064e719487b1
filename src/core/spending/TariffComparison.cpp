#include "core/spending/TariffComparison.h"

#include "core/settings/BudgetSettings.h"
#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/tariff/BillingRulesFile.h"
#include "core/tariff/RateFile.h"

#include <algorithm>

TariffComparison::TariffComparison(const QString& programDirectory, const QString& activeRateName)
    : m_billDay(BudgetSettings::read(SettingsFile(ProgramFiles::settingsPath(programDirectory))).billDay) {
    bool activeListed = false;
    for (const QString& file : rateFileNames(programDirectory)) {
        const QString name = file.chopped(ProgramFiles::RateFileExtension.size());
        // As the meter opens <name>.dtr: the name exactly.
        const bool inUse = name == activeRateName;
        activeListed = activeListed || inUse;
        addTariff(programDirectory, name, inUse);
    }
    if (!activeListed && !activeRateName.isEmpty())
        addTariff(programDirectory, activeRateName, true);
}

QString TariffComparison::activeRateName(const QString& programDirectory) {
    return SettingsFile(ProgramFiles::settingsPath(programDirectory))
        .ReadSettingString(SettingsKeys::RateSection, SettingsKeys::ActiveRateFile, QString());
}

void TariffComparison::addTariff(const QString& programDirectory, const QString& rateName, bool inUse) {
    Tariff tariff;
    tariff.row.rateName = rateName;
    tariff.row.inUse = inUse;
    const QString path = ProgramFiles::rateFilePath(programDirectory, rateName);
    tariff.prices = TariffPrices::read(path, &tariff.row.failure);
    if (tariff.prices) {
        // A file priced without the rules the bill applies would mislead.
        const std::optional<BillingRules> rules =
            BillingRulesFile::read(BillingRulesFile::pathFor(path), &tariff.row.failure);
        if (rules)
            tariff.rules = *rules;
        else
            tariff.prices.reset();
    }
    m_tariffs.push_back(std::move(tariff));
}

void TariffComparison::add(const CallRecord& call) {
    if (!TariffPrices::canPrice(call)) {
        ++m_unpriced;
        return;
    }
    const qint64 loggedGross = Money::pennies(call.grossCost);
    m_loggedNet.add(call.netCost);
    m_loggedGross.addPennies(loggedGross);
    m_calls.push_back({call.startTime, call.duration, loggedGross, call.rateCode});
    m_priced = false;
}

void TariffComparison::price() const {
    m_priced = true;
    // In the order the calls started; the log holds them in the order they
    // ended, so they mostly are already.
    std::vector<Call> calls = m_calls;
    const auto byStart = [](const Call& a, const Call& b) { return a.start < b.start; };
    if (!std::is_sorted(calls.begin(), calls.end(), byStart))
        std::stable_sort(calls.begin(), calls.end(), byStart);
    m_rows.clear();
    for (const Tariff& tariff : m_tariffs) {
        TariffRow row = tariff.row;
        if (tariff.prices) {
            BillingRun run(tariff.rules, m_billDay);
            const bool billed = !tariff.rules.isEmpty();
            CallRecord record;
            for (const Call& call : calls) {
                record.startTime = call.start;
                record.duration = call.duration;
                record.rateCode = call.rateCode;
                const CallCost cost =
                    billed ? tariff.prices->priceOf(record, run).cost : tariff.prices->priceOf(record);
                // Summed as the log would hold them, so the file a call was
                // timed with gives back exactly the logged figures.
                const qint64 gross = Money::pennies(cost.storedGross());
                row.net.add(cost.storedNet());
                row.gross.addPennies(gross);
                row.cheaper += gross < call.loggedGross;
            }
            row.calls = qint64(calls.size());
            row.difference = Money::fromPennies(row.gross.pennies() - m_loggedGross.pennies());
        }
        m_rows.push_back(std::move(row));
    }
}

std::vector<TariffRow> TariffComparison::rows() const {
    if (!m_priced)
        price();
    std::vector<TariffRow> rows = m_rows;
    std::stable_sort(rows.begin(), rows.end(), [](const TariffRow& a, const TariffRow& b) {
        const bool aRead = a.failure.isEmpty();
        const bool bRead = b.failure.isEmpty();
        if (aRead != bRead)
            return aRead;
        if (aRead && a.gross.pennies() != b.gross.pennies())
            return a.gross.pennies() < b.gross.pennies();
        return a.rateName.compare(b.rateName, Qt::CaseInsensitive) < 0;
    });
    return rows;
}
