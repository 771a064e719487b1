#include "core/tariff/Billing.h"

#include "core/seams/DayCount.h"
#include "core/storage/StoredNumber.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MsPerDay = double(DayCount::MsPerDay);
constexpr double DaysPerMs = 1.0 / MsPerDay;
constexpr double StepTolerance = 1e-9; // main units

// Up to the next whole step; an amount within the tolerance of a step stays
// on it, so a charge of 9.0 pence held as 0.09000000000000001 is not 9.1.
double roundedUp(double amount, double stepSubUnits) {
    const double steps = amount * (100.0 / stepSubUnits);
    if (!(std::fabs(steps) < 1e15))
        return amount; // beyond any call's charge: a damaged record
    const double step = stepSubUnits * 0.01;
    const double below = double(StoredNumber::toInteger(steps, StoredNumber::Rounding::Down).value_or(0));
    return amount - below * step <= StepTolerance ? below * step : (below + 1) * step;
}

} // namespace

double chargedMs(const BillingRules& rules, double lengthMs) {
    const double first = rules.firstBlock * 1000.0;
    if (rules.nextBlock == 0) {
        // As it ran: a negative length (a clock set back) is priced as the
        // meter has always priced it.
        return lengthMs > 0 && lengthMs <= first ? first : lengthMs;
    }
    // Lengths beyond any call (a damaged record) go no further than this,
    // within which whole milliseconds and their blocks are exact in a double.
    constexpr double Longest = 1e12;
    if (!(lengthMs >= 0.5))
        return 0;
    // Whole milliseconds, rounded to the nearest.
    const double ms = double(
        StoredNumber::toInteger(std::min(lengthMs, Longest), StoredNumber::Rounding::Nearest).value_or(0));
    if (ms <= first)
        return first;
    // The started blocks, ceil((ms - first) / next): the quotient by a
    // reciprocal, which waits on no length, then set right in whole numbers.
    const double next = rules.nextBlock * 1000.0;
    const double rest = ms - first;
    double blocks = double(StoredNumber::toInteger(rest * (1.0 / next)).value_or(0));
    if (blocks * next < rest)
        blocks += 1;
    else if (blocks > 0 && (blocks - 1) * next >= rest)
        blocks -= 1;
    return first + blocks * next;
}

Charge chargeOf(const WorkingValues& values, const BillingRules& rules, double elapsedDays,
                double freeMsLeft) {
    Charge charge;
    // The days priced: the true length itself unless blocks or free minutes
    // change it, so a rate file without rules prices as it always has.
    double pricedDays = elapsedDays;
    double charged = 0;
    if (rules.firstBlock != 0 || rules.nextBlock != 0 || freeMsLeft > 0) {
        charged = chargedMs(rules, elapsedDays * MsPerDay);
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
        net.amount = roundedUp(net.amount, rules.roundUpTo);
    charge.cost = {net.amount, net.amount * values.TaxFactor, net.minimumEffective};
    return charge;
}

BillingRun::BillingRun(BillingRules rules, int billDay) : m_rules(std::move(rules)), m_billDay(billDay) {}

bool BillingRun::enterDay(double callStart) {
    // Calls come in the order they started, most on the day of the call before.
    if (callStart > m_dayFrom && callStart < m_dayTo)
        return true;
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

int BillingRun::bandOf(int band, double callStart) {
    // A band that is none (a damaged record) stays none.
    const bool known = band >= Daytime && band <= Weekend;
    return known && enterDay(callStart) && m_holiday ? int(Weekend) : band;
}

double BillingRun::freeMsLeft(double callStart, int billedBand) {
    if (m_rules.freeMinutes == 0 || !enterDay(callStart))
        return 0;
    // Most calls of a period come after its free minutes are gone: that is
    // asked first, the band (which differs from call to call) only then.
    const double left = m_rules.freeMs() - m_freeUsedMs;
    return left > 0 && m_rules.coversBand(billedBand) ? left : 0;
}

Charge BillingRun::charge(const WorkingValues& values, double callStart, int billedBand, double elapsedDays) {
    const Charge charge = chargeOf(values, m_rules, elapsedDays, freeMsLeft(callStart, billedBand));
    m_freeUsedMs += charge.freeMsUsed;
    return charge;
}
