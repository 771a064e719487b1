#pragma once

#include <QString>
#include <QtGlobal>

#include <cmath>

// The log keeps amounts in single precision. Every total of the program (the
// main window's lines, the viewer's totals and selection, the exports' heads,
// the command line's reports, the charts) adds the stored amounts in double
// precision and rounds once, when it is shown, so that the same calls give the
// same figure wherever they are counted.
namespace Money {

// Beyond this an amount cannot be a call's cost: it is a damaged record.
constexpr double Largest = 1e9;

// Whether a stored amount is a cost at all (finite and within Largest).
inline bool isAmount(double stored) {
    return std::isfinite(stored) && std::fabs(stored) <= Largest;
}
// The stored amount as a figure to add: 0 for a damaged one.
inline double amount(double stored) {
    return isAmount(stored) ? stored : 0.0;
}

// A total as the main window shows it: the main symbol and two decimals, "£12.40".
QString totalText(double total, const QString& mainSymbol);

} // namespace Money

// A running total of stored amounts.
class MoneySum {
public:
    void add(double stored) { m_total += Money::amount(stored); }
    MoneySum& operator+=(const MoneySum& other) {
        m_total += other.m_total;
        return *this;
    }
    double total() const { return m_total; }

private:
    double m_total = 0;
};
