#pragma once

#include <QString>
#include <QtGlobal>

#include <cmath>

// Every total of the program (the main window's lines, the viewer's totals and
// selection, the exports' heads and the printout, the command line's reports,
// the spending figures and charts, the budget, the tariff comparison) adds the
// calls' amounts as they are shown: each rounded to the penny first, then
// added as whole pennies. So a total is what a user gets by adding the rows,
// and the same calls give the same figure wherever they are counted.
namespace Money {

// Beyond this an amount cannot be a call's cost: it is a damaged record.
constexpr double Largest = 1e9;

// Whether a stored amount is a cost at all (finite and within Largest).
inline bool isAmount(double stored) {
    return std::fabs(stored) <= Largest; // false for NaN too
}
// The stored amount as a figure to add: 0 for a damaged one.
inline double amount(double stored) {
    return isAmount(stored) ? stored : 0.0;
}

// Hundredths of the main unit with two decimals as formatFixed writes them.
qint64 penniesOfText(double amount);

// The whole pennies of an amount exactly as the viewer and the exports print
// it with two decimals (half a penny away from zero); 0 for a damaged amount.
inline qint64 pennies(double amount) {
    if (!isAmount(amount))
        return 0;
    // An amount as the log keeps it (single precision): a hundred times it is
    // exact in double precision, so rounding that rounds the stored value
    // itself, as the printed text does. Other amounts take the text's way.
    if (double(float(amount)) == amount) {
        const double scaled = amount * 100.0;
        const qint64 whole = qint64(scaled); // towards zero; the rest is exact
        const double rest = scaled - double(whole);
        // Without branches: amounts round up and down at random, and a
        // mispredicted branch costs more than all the rest.
        return whole + qint64(rest >= 0.5) - qint64(rest <= -0.5);
    }
    return penniesOfText(amount);
}

inline double fromPennies(qint64 pennies) {
    return double(pennies) / 100.0;
}

// A total as the main window shows it: the main symbol and two decimals, "£12.40".
QString totalText(double total, const QString& mainSymbol);

} // namespace Money

// A running total of amounts as they are shown, in whole pennies.
class MoneySum {
public:
    void add(double stored) { m_pennies += Money::pennies(stored); }
    void addPennies(qint64 pennies) { m_pennies += pennies; }
    MoneySum& operator+=(const MoneySum& other) {
        m_pennies += other.m_pennies;
        return *this;
    }
    qint64 pennies() const { return m_pennies; }
    double total() const { return Money::fromPennies(m_pennies); }

private:
    qint64 m_pennies = 0;
};
