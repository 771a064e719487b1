#include "core/spending/Money.h"

#include "core/tariff/Costing.h"

namespace Money {

qint64 penniesOfText(double amount) {
    QString digits = formatFixed(amount, 2);
    digits.remove(QLatin1Char('.'));
    return digits.toLongLong();
}

QString totalText(double total, const QString& mainSymbol) {
    return mainSymbol + formatFixed(total, 2);
}

} // namespace Money
