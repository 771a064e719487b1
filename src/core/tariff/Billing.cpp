#include "core/tariff/Billing.h"

#include "core/seams/DayCount.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MsPerDay = double(DayCount::MsPerDay);
constexpr double StepTolerance = 1e-9; // main units

// Up to the next whole step; an amount within the tolerance of a step stays
// on it, so a charge of 6.0 pence held as 0.0600000000001 is not 6.1.
double roundedUp(double amount, double step) {
    const double steps = amount / step;
    const double nearest = std::round(steps);
    if (std::fabs(amount - nearest * step) <= StepTolerance)
        return nearest * step;
    return std::ceil(steps) * step;
}

} // namespace

Charge chargeOf(const WorkingValues& values, const BillingRules& rules, double elapsedDays,
                double freeMsLeft) {
    Charge charge;
    // The days priced: the true length itself unless blocks or free minutes
    // change it, so a rate file without rules prices as it always has.
    double pricedDays = elapsedDays;
    double chargedMs = 0;
    if (rules.firstBlock != 0 || rules.nextBlock != 0 || freeMsLeft > 0) {
        chargedMs = rules.chargedMs(elapsedDays * MsPerDay);
        pricedDays = chargedMs / MsPerDay;
    }
    bool whollyFree = false;
    if (freeMsLeft > 0 && chargedMs > 0) {
        charge.freeMsUsed = std::min(chargedMs, freeMsLeft);
        whollyFree = charge.freeMsUsed >= chargedMs;
        pricedDays = (chargedMs - charge.freeMsUsed) / MsPerDay;
    }

    NetCost net = whollyFree ? NetCost{values.ConnectionCharge, false} : netCostOf(values, pricedDays);
    if (rules.capPerCall > 0 && net.amount > rules.capPerCall)
        net = {rules.capPerCall, false};
    if (rules.roundUpTo > 0)
        net.amount = roundedUp(net.amount, rules.roundUpTo / 100.0);
    charge.cost = {net.amount, net.amount * values.TaxFactor, net.minimumEffective};
    return charge;
}

BillingRun::BillingRun(BillingRules rules, int billDay) : m_rules(std::move(rules)), m_billDay(billDay) {}

bool BillingRun::isHoliday(qint64 day) {
    if (day < m_yearStart || day >= m_yearEnd) {
        const int year = DayCount::dateOfDay(day).year();
        m_yearStart = DayCount::dayOfDate(QDate(year, 1, 1));
        m_yearEnd = DayCount::dayOfDate(QDate(year + 1, 1, 1));
        m_holidays.clear();
        for (const QDate& date : m_rules.holidaysIn(year))
            m_holidays.push_back(DayCount::dayOfDate(date));
    }
    return std::find(m_holidays.cbegin(), m_holidays.cend(), day) != m_holidays.cend();
}

int BillingRun::bandOf(int band, double callStart) {
    if (m_rules.holidays.empty() || !DayCount::isDayCount(callStart))
        return band;
    return isHoliday(DayCount::dayNumber(callStart)) ? int(Weekend) : band;
}

void BillingRun::enterPeriod(qint64 day) {
    if (day >= m_periodStart && day < m_periodEnd)
        return;
    m_periodStart = DayCount::billPeriodStart(day, m_billDay);
    m_periodEnd = DayCount::nextBillPeriodStart(m_periodStart);
    m_freeUsedMs = 0;
}

double BillingRun::freeMsLeft(double callStart, int billedBand) {
    // A call with a damaged start belongs to no period.
    if (m_rules.freeMinutes == 0 || !m_rules.coversBand(billedBand) || !DayCount::isDayCount(callStart))
        return 0;
    enterPeriod(DayCount::dayNumber(callStart));
    return std::max(0.0, m_rules.freeMs() - m_freeUsedMs);
}

Charge BillingRun::charge(const WorkingValues& values, double callStart, int billedBand, double elapsedDays) {
    const Charge charge = chargeOf(values, m_rules, elapsedDays, freeMsLeft(callStart, billedBand));
    m_freeUsedMs += charge.freeMsUsed;
    return charge;
}
