#include "core/spending/TariffComparison.h"

#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsFile.h"
#include "core/settings/SettingsKeys.h"
#include "core/tariff/RateFile.h"

#include <algorithm>

TariffComparison::TariffComparison(const QString& programDirectory, const QString& activeRateName) {
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
    tariff.prices =
        TariffPrices::read(ProgramFiles::rateFilePath(programDirectory, rateName), &tariff.row.failure);
    m_tariffs.push_back(std::move(tariff));
}

void TariffComparison::add(const CallRecord& call) {
    if (!TariffPrices::canPrice(call)) {
        ++m_unpriced;
        return;
    }
    ++m_priced;
    const qint64 loggedGross = Money::pennies(call.grossCost);
    m_loggedNet.add(call.netCost);
    m_loggedGross.addPennies(loggedGross);
    for (Tariff& tariff : m_tariffs) {
        if (!tariff.prices)
            continue;
        const CallCost cost = tariff.prices->priceOf(call);
        TariffRow& row = tariff.row;
        ++row.calls;
        // Summed as the log would hold them, so the file a call was timed
        // with gives back exactly the logged figures.
        const qint64 gross = Money::pennies(cost.storedGross());
        row.net.add(cost.storedNet());
        row.gross.addPennies(gross);
        if (gross < loggedGross)
            ++row.cheaper;
    }
}

std::vector<TariffRow> TariffComparison::rows() const {
    std::vector<TariffRow> rows;
    rows.reserve(m_tariffs.size());
    for (const Tariff& tariff : m_tariffs) {
        rows.push_back(tariff.row);
        if (tariff.prices)
            rows.back().difference =
                Money::fromPennies(rows.back().gross.pennies() - m_loggedGross.pennies());
    }
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
