#include "core/tariff/Billing.h"

#include "core/seams/DayCount.h"
#include "core/storage/StoredNumber.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MsPerDay = double(DayCount::MsPerDay);
constexpr double DaysPerMs = 1.0 / MsPerDay;
constexpr double StepTolerance = 1e-9; // main units

// Lengths beyond any call (a damaged record) go no further than this, within
// which whole milliseconds and their blocks are exact in a double.
constexpr double Longest = 1e12;

// A double in range as a whole number toward zero: one instruction where
// std::trunc takes several, for the million calls of a comparison.
double truncated(double value) {
    return double(qint64(value));
}

// Up to the next whole step; an amount within the tolerance of a step stays
// on it, so a charge of 9.0 pence held as 0.09000000000000001 is not 9.1.
double roundedUp(double amount, const BillingSteps& steps) {
    const double count = amount * steps.perStep;
    if (!(std::fabs(count) < 1e15))
        return amount; // beyond any call's charge: a damaged record
    qint64 below = qint64(count);
    below -= double(below) > count; // down, for a negative amount
    below += amount - double(below) * steps.step > StepTolerance;
    return double(below) * steps.step;
}

double chargedMs(const BillingSteps& steps, double lengthMs) {
    if (steps.nextMs == 0) {
        // As it ran: a negative length (a clock set back) is priced as the
        // meter has always priced it.
        return lengthMs > 0 && lengthMs <= steps.firstMs ? steps.firstMs : lengthMs;
    }
    if (!(lengthMs >= 0.5))
        return 0;
    // Whole milliseconds, rounded to the nearest.
    const double ms = truncated(std::min(lengthMs, Longest) + 0.5);
    if (ms <= steps.firstMs)
        return steps.firstMs;
    // The started blocks, ceil((ms - first) / next): the quotient q by a
    // reciprocal, which waits on no length, is one off at times either way;
    // the remainder r sets it right in whole numbers, without a branch, as no
    // prediction can follow which way it falls.
    const qint64 next = qint64(steps.nextMs);
    const qint64 rest = qint64(ms - steps.firstMs);
    const qint64 q = qint64(double(rest) * steps.perNextMs);
    const qint64 r = rest - q * next;
    const qint64 blocks = q + (r > 0) + (r > next) - (r <= -next);
    return steps.firstMs + double(blocks * next);
}

Charge chargeOf(const WorkingValues& values, const BillingRules& rules, const BillingSteps& steps,
                double elapsedDays, double freeMsLeft) {
    Charge charge;
    // The days priced: the true length itself unless blocks or free minutes
    // change it, so a rate file without rules prices as it always has.
    double pricedDays = elapsedDays;
    double charged = 0;
    if (rules.firstBlock != 0 || rules.nextBlock != 0 || freeMsLeft > 0) {
        charged = chargedMs(steps, elapsedDays * MsPerDay);
        pricedDays = charged * DaysPerMs;
    }
    bool whollyFree = false;
    if (freeMsLeft > 0 && charged > 0) {
        charge.freeMsUsed = std::min(charged, freeMsLeft);
        whollyFree = charge.freeMsUsed >= charged;
        pricedDays = (charged - charge.freeMsUsed) * DaysPerMs;
    }

    NetCost net = whollyFree ? NetCost{values.ConnectionCharge, false} : netCostOf(values, pricedDays);
    if (rules.capPerCall > 0 && net.amount > rules.capPerCall)
        net = {rules.capPerCall, false};
    if (rules.roundUpTo > 0)
        net.amount = roundedUp(net.amount, steps);
    charge.cost = {net.amount, net.amount * values.TaxFactor, net.minimumEffective};
    return charge;
}

} // namespace

BillingSteps::BillingSteps(const BillingRules& rules)
    : firstMs(rules.firstBlock * 1000.0), nextMs(rules.nextBlock * 1000.0),
      perNextMs(rules.nextBlock ? 1.0 / nextMs : 0),
      perStep(rules.roundUpTo > 0 ? 100.0 / rules.roundUpTo : 0), step(rules.roundUpTo * 0.01) {}

double chargedMs(const BillingRules& rules, double lengthMs) {
    return chargedMs(BillingSteps(rules), lengthMs);
}

Charge chargeOf(const WorkingValues& values, const BillingRules& rules, double elapsedDays,
                double freeMsLeft) {
    return chargeOf(values, rules, BillingSteps(rules), elapsedDays, freeMsLeft);
}

BillingRun::BillingRun(BillingRules rules, int billDay)
    : m_rules(std::move(rules)), m_steps(m_rules), m_billDay(billDay) {}

bool BillingRun::enterNewDay(double callStart) {
    if (!DayCount::isDayCount(callStart))
        return false; // a damaged start: no day, no holiday, no period
    const qint64 day = DayCount::dayNumber(callStart);
    // Well inside its span a count is of the day whatever its rounding.
    m_dayFrom = double(day) + DayCount::EdgeOfDay;
    m_dayTo = double(day + 1) - DayCount::EdgeOfDay;
    m_holiday = !m_rules.holidays.empty() && isHoliday(day);
    if (day < m_periodStart || day >= m_periodEnd) {
        m_periodStart = DayCount::billPeriodStart(day, m_billDay);
        m_periodEnd = DayCount::nextBillPeriodStart(m_periodStart);
        m_freeUsedMs = 0;
    }
    return true;
}

bool BillingRun::isHoliday(qint64 day) {
    if (day < m_yearStart || day >= m_yearEnd) {
        // From the day itself: the calendar has no year 0 to start the next one.
        const QDate date = DayCount::dateOfDay(day);
        m_yearStart = day - date.dayOfYear() + 1;
        m_yearEnd = m_yearStart + date.daysInYear();
        m_holidays.reset();
        for (const QDate& holiday : m_rules.holidaysIn(date.year()))
            m_holidays.set(size_t(DayCount::dayOfDate(holiday) - m_yearStart));
    }
    return m_holidays.test(size_t(day - m_yearStart));
}

double BillingRun::freeMsLeft(double callStart, int billedBand) {
    if (m_rules.freeMinutes == 0 || !enterDay(callStart))
        return 0;
    // Most calls of a period come after its free minutes are gone: that is
    // asked first, the band (which differs from call to call) only then.
    const double left = m_rules.freeMs() - m_freeUsedMs;
    return left > 0 && m_rules.coversBand(billedBand) ? left : 0;
}

[[gnu::flatten]] Charge BillingRun::charge(const WorkingValues& values, double callStart, int billedBand,
                                           double elapsedDays) {
    const Charge charge = chargeOf(values, m_rules, m_steps, elapsedDays, freeMsLeft(callStart, billedBand));
    m_freeUsedMs += charge.freeMsUsed;
    return charge;
}
