#include "core/tariff/Costing.h"

#include "core/seams/DayCount.h"
#include "core/tariff/RateFile.h"

#include <QVarLengthArray>

#include <cmath>

int rateCodeOf(int distance, int band) {
    return (distance - 1) * 3 + band;
}

QString timeBandName(int band) {
    switch (band) {
    case Daytime:
        return QStringLiteral("Daytime");
    case Evening:
        return QStringLiteral("Evening");
    case Weekend:
        return QStringLiteral("Weekend");
    }
    return {};
}

QString distanceName(int distance) {
    switch (distance) {
    case Local:
        return QStringLiteral("Local");
    case Regional:
        return QStringLiteral("Regional");
    case National:
        return QStringLiteral("National");
    case International:
        return QStringLiteral("International");
    }
    return {};
}

int timeBandAt(double callStart, int dayStartMs, int dayEndMs) {
    const int t = DayCount::timeOfDayMs(callStart);
    const int day = DayCount::storedDayOfWeek(callStart);
    if (day == 1 || day == 7)
        return Weekend;
    return (t < dayStartMs || t > dayEndMs) ? Evening : Daytime;
}

LoadResult loadWorkingValues(const QString& rateFilePath, int selector, WorkingValues& values) {
    const std::optional<RateTable> table = readRateFile(rateFilePath);
    if (!table)
        return {LoadResult::NotFound, {}};
    return loadWorkingValues(*table, selector, values);
}

LoadResult loadWorkingValues(const RateTable& table, int selector, WorkingValues& values) {
    LoadResult result;

    // A bad slot ends the load there, as a failed conversion would: the
    // values before it are loaded, it and the ones after keep theirs.
    auto load = [&](int slot, double& target, auto convert) {
        if (result.outcome != LoadResult::Loaded)
            return;
        const std::optional<double> number = RateFileCodec::parseNumber(table.slot(slot));
        if (!number || std::fabs(*number) > RateFileCodec::LargestSlotNumber) {
            result.outcome = LoadResult::BadNumber;
            result.badText = table.slot(slot);
            return;
        }
        target = convert(*number);
    };

    if (selector >= 1 && selector <= 12) {
        load(selector, values.CurrentRate, [](double n) { return n * 14.4; });
    } else if (selector == 20) {
        load(TaxSlot, values.TaxFactor, [](double n) { return 0.01 * n + 1.0; });
        load(MinimumSlot, values.MinimumCharge, [](double n) { return 0.01 * n; });
        load(ConnectionSlot, values.ConnectionCharge, [](double n) { return 0.01 * n; });
        load(DiscountSlot, values.DiscountFactor, [](double n) { return 1.0 - 0.01 * n; });
    }
    return result;
}

NetCost netCostOf(const WorkingValues& values, double elapsedDays) {
    const double cost = elapsedDays * values.CurrentRate * values.DiscountFactor + values.ConnectionCharge;
    if (values.MinimumCharge >= cost)
        return {values.MinimumCharge, true};
    return {cost, false};
}

CallCost callCostOf(const WorkingValues& values, double elapsedDays) {
    const NetCost net = netCostOf(values, elapsedDays);
    return {net.amount, net.amount * values.TaxFactor, net.minimumEffective};
}

QString formatFixed(double value, int decimals) {
    if (!std::isfinite(value))
        return QString::number(value);
    decimals = std::max(decimals, 0);

    // Work on the 15-significant-digit decimal form, so that a value such as
    // 0.705 (held as 0.70499999...) rounds the way it reads. The digits are
    // kept in small arrays: an export formats two amounts per call.
    const QString sci = QString::number(std::fabs(value), 'e', 14); // d.dddddddddddddde±XX
    const qsizetype ePos = sci.indexOf(QLatin1Char('e'));
    const int exponent = QStringView(sci).mid(ePos + 1).toInt();
    QVarLengthArray<int, 24> digits; // 15 significant digits
    for (qsizetype i = 0; i < ePos; ++i) {
        if (sci[i].isDigit())
            digits.append(sci[i].digitValue());
    }

    // digits[i] has the weight 10^(exponent - i); keep weights down to 10^-decimals.
    const int keep = exponent + 1 + decimals;
    QVarLengthArray<int, 48> kept;
    int intDigits = exponent + 1; // digits before the point in `kept`
    if (keep <= 0) {
        const bool up = keep == 0 && digits[0] >= 5;
        kept.insert(kept.cend(), decimals + 1, 0);
        intDigits = 1;
        if (up)
            kept.back() = 1;
    } else {
        const int taken = std::min<int>(keep, int(digits.size()));
        kept.append(digits.constData(), taken);
        kept.insert(kept.cend(), keep - taken, 0);
        if (keep < int(digits.size()) && digits[keep] >= 5) {
            int i = keep - 1;
            while (i >= 0 && kept[i] == 9) {
                kept[i] = 0;
                --i;
            }
            if (i >= 0) {
                ++kept[i];
            } else {
                kept.insert(kept.cbegin(), 1);
                ++intDigits;
            }
        }
        if (intDigits <= 0) {
            kept.insert(kept.cbegin(), 1 - intDigits, 0);
            intDigits = 1;
        }
    }

    QVarLengthArray<char, 64> text;
    text.append(' '); // room for a minus sign
    bool allZero = true;
    for (int i = 0; i < int(kept.size()); ++i) {
        if (i == intDigits)
            text.append('.');
        text.append(char('0' + kept[i]));
        allZero = allZero && kept[i] == 0;
    }
    // Leading zeros of the integer part beyond the first.
    int start = 1;
    while (start < intDigits && text[start] == '0')
        ++start;
    if (value < 0 && !allZero)
        text[--start] = '-';
    return QString::fromLatin1(text.constData() + start, text.size() - start);
}

QString moneyDisplay(double amount, const QString& mainSymbol, const QString& subSymbol) {
    if (amount >= 1.0)
        return mainSymbol + formatFixed(amount, 2);
    return formatFixed(amount * 100.0, 1) + subSymbol;
}
