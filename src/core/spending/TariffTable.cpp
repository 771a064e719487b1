#include "core/spending/TariffTable.h"

#include "core/calllog/CallTotals.h"
#include "core/viewer/CallCells.h"

namespace TariffTable {

QStringList headers() {
    return {QStringLiteral("Rate file"),     QStringLiteral("Calls"),      QStringLiteral("Cost exc. Tax"),
            QStringLiteral("Cost inc. Tax"), QStringLiteral("Difference"), QStringLiteral("Cheaper calls")};
}

QString rateFileText(const QString& rateName, bool inUse) {
    return inUse ? rateName + QStringLiteral(" (in use)") : rateName;
}

QStringList cells(const TariffRow& row, const QString& symbol) {
    const QString name = rateFileText(row.rateName, row.inUse);
    if (!row.failure.isEmpty())
        return {name, QStringLiteral("Cannot be read: ") + row.failure};
    return {name,
            QString::number(row.calls),
            viewerMoney(row.net.total(), symbol),
            viewerMoney(row.gross.total(), symbol),
            differenceText(row.difference, symbol),
            QString::number(row.cheaper)};
}

QString differenceText(double difference, const QString& symbol) {
    const QString text = viewerMoney(difference, symbol);
    // Only a difference that shows as a penny or more has a sign.
    if (difference > 0 && text != viewerMoney(0, symbol))
        return QLatin1Char('+') + text;
    return text;
}

QString loggedText(const TariffComparison& comparison, const QString& symbol) {
    const qint64 count = comparison.pricedCalls();
    return QStringLiteral("%1 call%2 as logged: %3 (%4 exc. tax)")
        .arg(count)
        .arg(PluralSuffix(count), viewerMoney(comparison.loggedGross().total(), symbol),
             viewerMoney(comparison.loggedNet().total(), symbol));
}

QString unpricedText(const TariffComparison& comparison) {
    const qint64 count = comparison.unpricedCalls();
    if (count == 0)
        return {};
    return QStringLiteral("%1 call%2 could not be priced").arg(count).arg(PluralSuffix(count));
}

} // namespace TariffTable
