#pragma once

#include "core/spending/TariffComparison.h"

#include <QString>
#include <QStringList>

// The texts of a tariff comparison, as the viewer's window and the command
// line show them.
namespace TariffTable {

enum Column { RateFile, Calls, CostExcTax, CostIncTax, Difference, Cheaper, ColumnCount };

QStringList headers();
// The name of a rate file, "(in use)" after the one the meter uses.
QString rateFileText(const QString& rateName, bool inUse);
// The cells of a row; a file that could not be read has its name and, in the
// second cell, why.
QStringList cells(const TariffRow& row, const QString& symbol);
// "+£1.20" dearer, "-£0.35" cheaper, "£0.00" the same to the penny.
QString differenceText(double difference, const QString& symbol);
// "12 calls as logged: £4.20 (£3.57 exc. tax)".
QString loggedText(const TariffComparison& comparison, const QString& symbol);
// "2 calls could not be priced"; empty when every call could.
QString unpricedText(const TariffComparison& comparison);

inline const QString NoRateFiles = QStringLiteral("No Dialtally Rate Files Found");

} // namespace TariffTable
