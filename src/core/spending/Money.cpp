#include "core/spending/Money.h"

#include <cmath>

namespace Money {

bool isAmount(double stored) {
    return std::isfinite(stored) && std::fabs(stored) <= Largest;
}

double amount(double stored) {
    return isAmount(stored) ? stored : 0.0;
}

} // namespace Money
