#include "core/spending/Money.h"

#include "core/tariff/Costing.h"

namespace Money {

QString totalText(double total, const QString& mainSymbol) {
    return mainSymbol + formatFixed(total, 2);
}

} // namespace Money
