#pragma once

#include <QtGlobal>

#include <cmath>
#include <concepts>
#include <limits>
#include <optional>

// A number that comes from a file (a date, a time, a length, an amount, a
// rate) becomes an integer only here. A file can hold any bits: NaN, an
// infinity, or a value far beyond the integer's range, and converting such a
// value is undefined behaviour, not merely a wrong figure. Those give no
// value at all, and each caller decides what that shows (usually nothing, as
// an out-of-range code does).
namespace StoredNumber {

enum class Rounding {
    TowardZero,  // 2.7 -> 2, -2.7 -> -2
    Down,        // -2.5 -> -3
    Nearest,     // halves away from zero: 2.5 -> 3, -2.5 -> -3
    NearestEven, // halves to the even neighbour: 2.5 -> 2, 3.5 -> 4
};

template <std::integral Int = qint64>
std::optional<Int> toInteger(double value, Rounding rounding = Rounding::TowardZero) {
    double whole = value;
    switch (rounding) {
    case Rounding::TowardZero:
        whole = std::trunc(value);
        break;
    case Rounding::Down:
        whole = std::floor(value);
        break;
    case Rounding::Nearest:
        // As std::round, which is a call into the library where a truncation
        // is a few instructions: the billing prices a million calls with it.
        whole = std::trunc(value);
        if (std::fabs(value - whole) >= 0.5)
            whole += std::copysign(1.0, value);
        break;
    case Rounding::NearestEven:
        whole = std::nearbyint(value);
        break;
    }
    // Both limits are powers of two (or zero), exact as doubles; the largest
    // integer plus one rounds to the same power for the widest types.
    const double lowest = double(std::numeric_limits<Int>::min());
    const double beyond = double(std::numeric_limits<Int>::max()) + 1.0;
    if (!(whole >= lowest && whole < beyond)) // NaN fails both
        return std::nullopt;
    return Int(whole);
}

} // namespace StoredNumber
