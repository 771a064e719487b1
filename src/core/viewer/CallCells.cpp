#include "core/viewer/CallCells.h"

#include "core/calllog/RateNameStore.h"
#include "core/seams/DayCount.h"
#include "core/spending/Money.h"
#include "core/tariff/Costing.h"
#include "core/viewer/ViewerColumns.h"

#include <QLocale>

namespace {
// A damaged record shows nothing rather than a date that cannot be.
QString dateText(double days) {
    if (!DayCount::isDayCount(days))
        return {};
    return QLocale().toString(DayCount::toDateTime(days).date(), QLocale::ShortFormat);
}

QString clockText(double days) {
    if (!DayCount::isDayCount(days))
        return {};
    const int minutes = DayCount::timeOfDayMs(days) / 60000;
    const int hour = minutes / 60;
    const QChar text[] = {QChar(u'0' + hour / 10), QChar(u'0' + hour % 10), u':',
                          QChar(u'0' + minutes % 60 / 10), QChar(u'0' + minutes % 10)};
    return QString(text, 5);
}

// "h:mm:ss": the hour without a leading zero.
QString durationText(double days) {
    QString text = DayCount::durationText(days);
    if (text.startsWith(QLatin1Char('0')))
        text.remove(0, 1);
    return text;
}

// Literals, so that a table of a million rows makes no copies of them.
QString dayName(int day) {
    static const QString Names[] = {QStringLiteral("Sunday"),   QStringLiteral("Monday"),
                                    QStringLiteral("Tuesday"),  QStringLiteral("Wednesday"),
                                    QStringLiteral("Thursday"), QStringLiteral("Friday"),
                                    QStringLiteral("Saturday")};
    return day >= 1 && day <= 7 ? Names[day - 1] : QString();
}

QString callTypeName(int rateCode) {
    static const QString Names[] = {QStringLiteral("Daytime"), QStringLiteral("Evening"),
                                    QStringLiteral("Weekend")};
    return rateCode >= 1 && rateCode <= 12 ? Names[(rateCode - 1) % 3] : QString();
}

QString callDistanceName(int rateCode) {
    return rateCode >= 1 && rateCode <= 12 ? distanceName((rateCode - 1) / 3 + 1) : QString();
}
} // namespace

RateNames RateNames::load(const QString& storePath) {
    RateNames rates;
    rates.storeOpened = RateNameStore(storePath).LoadAllRateNames(rates.names);
    return rates;
}

QString RateNames::nameFor(quint16 key) const {
    if (!storeOpened)
        return QString::fromLatin1(RateNameStore::NotPresentText);
    const auto found = names.constFind(key);
    return found != names.cend() ? *found : QString::fromLatin1(RateNameStore::CorruptedText);
}

QString viewerSymbol(const QString& mainSymbol) {
    if (mainSymbol.isEmpty())
        return {};
    // One character, even when it takes two code units.
    return mainSymbol.left(mainSymbol.front().isHighSurrogate() ? 2 : 1);
}

QString viewerMoney(double amount, const QString& symbol) {
    QString digits = formatFixed(amount, 2);
    const QString point = QLocale().decimalPoint();
    if (point != QLatin1String("."))
        digits.replace(QLatin1Char('.'), point);
    if (digits.startsWith(QLatin1Char('-')))
        return QLatin1Char('-') + symbol + digits.mid(1);
    return symbol + digits;
}

QString callCellText(const CallRecord& call, int column, const QString& symbol, const RateNames& rates) {
    switch (column) {
    case DateColumn:
        return dateText(call.date);
    case DayColumn:
        return dayName(call.dayOfWeek);
    case StartTimeColumn:
        return clockText(call.startTime);
    case EndTimeColumn:
        return clockText(call.endTime);
    case DurationColumn:
        return durationText(call.duration);
    case CostExcTaxColumn:
        return Money::isAmount(call.netCost) ? viewerMoney(call.netCost, symbol) : QString();
    case CostIncTaxColumn:
        return Money::isAmount(call.grossCost) ? viewerMoney(call.grossCost, symbol) : QString();
    case TypeOfCallColumn:
        return callTypeName(call.rateCode);
    case DistanceColumn:
        return callDistanceName(call.rateCode);
    case RateColumn:
        return rates.nameFor(call.rateNameKey);
    case NumberColumn:
        return rates.numbers ? rates.numbers->textFor(call) : QString();
    }
    return {};
}
