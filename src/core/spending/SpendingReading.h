#pragma once

#include "core/settings/BudgetSettings.h"
#include "core/spending/SpendingFigures.h"

#include <optional>

// What every view of the spending reads from the data directory: the figures
// of the log, the budget and the currency symbol. The Spending window, the
// main window's budget line and the command line all start from here, so
// they show the same figures for the same files.
struct SpendingReading {
    SpendingFigures figures;
    BudgetSettings budget;
    QString symbol;  // as the viewer shows amounts: one character
    QString logPath; // for a message when the log cannot be read

    // firstDay: as SpendingFigures::compute takes it.
    static SpendingReading read(const QString& directory, double now,
                                std::optional<qint64> firstDay = std::nullopt);

    // The budget's amount while it is on.
    std::optional<double> budgetAmount() const;
    // "£12.40 of £30.00 this month · on pace for £27.10"; empty while the
    // budget is off.
    QString budgetText() const;
};
