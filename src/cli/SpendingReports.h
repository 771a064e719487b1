#pragma once

#include "core/spending/SpendingReading.h"

#include <QDate>
#include <QString>

#include <optional>

// The command line's spending reports: the rows of a chart's view and the
// budget's line, from the figures the Spending window draws.
namespace SpendingReports {

enum class Format { Text, Json, Csv };

// "day", "week" or "month" (any case).
std::optional<SpendView> viewNamed(const QString& name);

// One row per bar of the view whose days meet from..to (both included, either
// open): the period's first and last day, the number of calls, the cost
// without and with tax, and with tax per time band. Csv has a title row and
// plain numbers.
QString periodRows(const SpendingReading& reading, SpendView view, std::optional<QDate> from,
                   std::optional<QDate> to, Format format);

// The budget's line as the main window shows it, or that the budget is off.
QString budget(const SpendingReading& reading, bool json);

} // namespace SpendingReports
