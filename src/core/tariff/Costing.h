#pragma once

#include <QString>

struct RateTable;

enum TimeBand { Daytime = 1, Evening = 2, Weekend = 3 };
enum DistanceBand { Local = 1, Regional = 2, National = 3, International = 4 };

// 1..12: (distance - 1) * 3 + band, the slot of the per-minute rate.
int rateCodeOf(int distance, int band);
QString timeBandName(int band);     // "Daytime", "Evening", "Weekend"
QString distanceName(int distance); // "Local", "Regional", "National", "International"

// The band a call gets from its start: Evening before dayStartMs or after
// dayEndMs (both inclusive for Daytime, to the millisecond), Weekend on a
// Saturday or Sunday whatever the time.
int timeBandAt(double callStart, int dayStartMs, int dayEndMs);

// The values the cost formula works with, converted on loading.
struct WorkingValues {
    double CurrentRate = 0;      // main units per day
    double TaxFactor = 0;        // 1 + tax / 100
    double MinimumCharge = 0;    // main units
    double ConnectionCharge = 0; // main units
    double DiscountFactor = 0;   // 1 - discount / 100
};

struct LoadResult {
    enum Outcome { Loaded, NotFound, BadNumber };
    Outcome outcome = Loaded;
    QString badText; // the slot text that is not a number
};

// Selector 1..12 loads that per-minute rate, 20 the four charges; any other
// selector reads the file and changes nothing. A slot that is not a number
// leaves its value as it was.
LoadResult loadWorkingValues(const QString& rateFilePath, int selector, WorkingValues& values);
// The same from a rate file already read: never NotFound.
LoadResult loadWorkingValues(const RateTable& table, int selector, WorkingValues& values);

struct NetCost {
    double amount = 0;
    bool minimumEffective = false;
};

// Net cost, tax excluded, of a call that has run elapsedDays.
NetCost netCostOf(const WorkingValues& values, double elapsedDays);

// Both costs of a call at one moment: the gross is the net with tax.
struct CallCost {
    double net = 0;
    double gross = 0;
    bool minimumEffective = false;

    // As the call log keeps them.
    float storedNet() const { return float(net); }
    float storedGross() const { return float(gross); }
};
CallCost callCostOf(const WorkingValues& values, double elapsedDays);

// value with the given number of decimals, rounded half away from zero on its
// shortest decimal form (so 0.705 gives 0.71).
QString formatFixed(double value, int decimals);

// mainSymbol + "0.00" for 1.0 and above, else sub-units "0.0" + subSymbol;
// the switch tests the unrounded amount.
QString moneyDisplay(double amount, const QString& mainSymbol, const QString& subSymbol);
