#pragma once

#include "core/tariff/BillingRules.h"
#include "core/tariff/Costing.h"

#include <bitset>

// What the bill charges for one call.
struct Charge {
    CallCost cost;
    double freeMsUsed = 0; // of the free minutes left at the call's start
};

// What pricing by the rules takes from them, worked out once: the divisions
// a call would otherwise make.
struct BillingSteps {
    explicit BillingSteps(const BillingRules& rules);
    double firstMs;
    double nextMs;
    double perNextMs; // 1 / nextMs; 0 without blocks
    double perStep;   // steps of RoundUpTo to a main unit; 0 without rounding
    double step;      // RoundUpTo in main units
};

// The length of a call as charged, in milliseconds, from its true length.
// In blocks the length counts to the millisecond, and a call of no length is
// charged nothing; without them it is charged as it ran (at least the first
// block, when there is one).
double chargedMs(const BillingRules& rules, double lengthMs);

// The charge for a call that has run elapsedDays, priced with the working
// values of the band it is billed in (see BillingRun::bandOf), when
// freeMsLeft of the bill period's free minutes are left at its start (0 when
// its band is not covered). In this order: the charged length from the
// blocks; the free minutes taken from it first; the net charge, which is the
// connection charge alone for a call wholly within free minutes, else the cost
// formula on the rest (minimum charge included); then the cap; then rounded up
// to RoundUpTo sub-units, a charge within 1e-9 of a step counting as on it.
// Tax on the result. Without rules this is callCostOf to the last bit.
//
// Cheap enough for every tick of the meter: it reads nothing and remembers
// nothing, so a running call is priced afresh from its length and the free
// minutes that were left when it started.
Charge chargeOf(const WorkingValues& values, const BillingRules& rules, double elapsedDays,
                double freeMsLeft = 0);

// Calls priced one after another in the order they started, as one bill
// prices them: a call that starts on a holiday is billed in the Weekend band,
// and each bill period's free minutes go to its first calls in the covered
// bands. Keeps the holidays of the year and the free minutes of the period it
// is in, so a million calls in order cost little more than without rules.
class BillingRun {
public:
    BillingRun(BillingRules rules, int billDay);
    const BillingRules& rules() const { return m_rules; }

    // The band a call that starts at callStart (a day count) with this band
    // is billed in: Weekend on a holiday.
    int bandOf(int band, double callStart) {
        // A band that is none (a damaged record) stays none.
        const bool known = band >= Daytime && band <= Weekend;
        return known && enterDay(callStart) && m_holiday ? int(Weekend) : band;
    }
    // The free minutes left, in milliseconds, for a call that starts then in
    // the band it is billed in.
    double freeMsLeft(double callStart, int billedBand);
    // The call's charge; its free minutes are taken from its period's.
    Charge charge(const WorkingValues& values, double callStart, int billedBand, double elapsedDays);

private:
    // Takes the day of the call's start, with its holiday and bill period;
    // false for a damaged start, which has none. Calls come in the order they
    // started, most on the day of the call before.
    bool enterDay(double callStart) {
        return (callStart > m_dayFrom && callStart < m_dayTo) || enterNewDay(callStart);
    }
    bool enterNewDay(double callStart);
    bool isHoliday(qint64 day);

    BillingRules m_rules;
    BillingSteps m_steps;
    int m_billDay;
    // The day of the last call, as a span of day counts well inside it.
    double m_dayFrom = 1;
    double m_dayTo = 0;
    bool m_holiday = false;
    // The holidays of the year last asked about, by day of the year.
    qint64 m_yearStart = 1;
    qint64 m_yearEnd = 0;
    std::bitset<366> m_holidays;
    // The bill period of the last call and the free minutes it has used.
    qint64 m_periodStart = 1;
    qint64 m_periodEnd = 0;
    double m_freeUsedMs = 0;
};
