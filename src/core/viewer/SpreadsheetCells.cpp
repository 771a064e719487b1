#include "core/viewer/SpreadsheetCells.h"

#include "core/seams/DayCount.h"
#include "core/spending/Money.h"
#include "core/tariff/Costing.h"
#include "core/viewer/CallCells.h"
#include "core/viewer/ViewerColumns.h"

namespace SpreadsheetCells {

namespace {

QString isoDate(double days) {
    // A year outside 1..9999 has no such form: a damaged record.
    return DayCount::isDayCount(days) ? DayCount::toDate(days).toString(Qt::ISODate) : QString();
}

QString isoTime(double days) {
    // The time of day as a length since midnight: the same h:mm:ss, with two hour digits.
    return DayCount::isDayCount(days) ? DayCount::durationText(DayCount::fromMs(DayCount::timeOfDayMs(days)))
                                      : QString();
}

// Whole seconds, cut as the viewer's h:mm:ss cuts them, with the whole days it leaves out.
QString seconds(double days) {
    return DayCount::isLength(days) ? QString::number(DayCount::toMs(days) / 1000) : QString();
}

QString amount(float stored) {
    return Money::isAmount(stored) ? formatFixed(stored, 2) : QString();
}

} // namespace

QString title(int column, const QString& symbol) {
    const QString header = QLatin1String(viewerColumnInfo(column).header);
    switch (column) {
    case DurationColumn:
        return header + QStringLiteral(" (s)");
    case CostExcTaxColumn:
    case CostIncTaxColumn:
        return symbol.isEmpty() ? header : header + QStringLiteral(" (") + symbol + QLatin1Char(')');
    }
    return header;
}

QString value(const CallRecord& call, int column, const RateNames& rates) {
    switch (column) {
    case DateColumn:
        return isoDate(call.date);
    case StartTimeColumn:
        return isoTime(call.startTime);
    case EndTimeColumn:
        return isoTime(call.endTime);
    case DurationColumn:
        return seconds(call.duration);
    case CostExcTaxColumn:
        return amount(call.netCost);
    case CostIncTaxColumn:
        return amount(call.grossCost);
    case RateColumn:
        return rates.storeOpened ? rates.names.value(call.rateNameKey) : QString();
    }
    return callCellText(call, column, QString(), rates);
}

} // namespace SpreadsheetCells
