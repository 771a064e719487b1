#include "core/spending/SpendingReading.h"

#include "core/settings/ProgramFiles.h"
#include "core/settings/SettingsKeys.h"
#include "core/spending/BudgetPace.h"
#include "core/viewer/CallCells.h"

SpendingReading SpendingReading::read(const QString& directory, double now, std::optional<qint64> firstDay) {
    SpendingReading reading;
    const SettingsSnapshot settings = SettingsFile(ProgramFiles::settingsPath(directory)).readAll();
    reading.budget = BudgetSettings::read(settings);
    reading.symbol = viewerSymbol(settings.ReadSettingString(
        SettingsKeys::DefaultsSection, SettingsKeys::MainSymbol, SettingsKeys::DefaultMainSymbol));
    const CallLog log(ProgramFiles::callLogPath(directory));
    reading.logPath = log.path();
    reading.figures =
        SpendingFigures::compute(log, RateNames::load(ProgramFiles::rateNameStorePath(directory)), now,
                                 reading.budget.billDay, firstDay);
    return reading;
}

std::optional<double> SpendingReading::budgetAmount() const {
    return budget.isActive() ? std::optional<double>(budget.amount) : std::nullopt;
}

QString SpendingReading::budgetText() const {
    if (!budget.isActive())
        return {};
    return budgetLine(BudgetPace::of(figures), budget.amount, symbol);
}
