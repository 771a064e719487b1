#include "core/tariff/TariffText.h"

#include "core/tariff/BillingRules.h"
#include "core/tariff/Costing.h"
#include "core/tariff/RateFile.h"

#include <QStringList>

namespace {

constexpr int NameWidth = 15;
constexpr int ValueWidth = 9;
constexpr int RuleWidth = 14;

QString blocksText(const BillingRules& rules) {
    const QString name = blocksName(rules.firstBlock, rules.nextBlock);
    if (rules.nextBlock == 0 && rules.firstBlock == 0)
        return name + QStringLiteral(", to the millisecond");
    if (rules.nextBlock == 0)
        return QStringLiteral("the first %1 s charged whole, then continuous").arg(rules.firstBlock);
    return QStringLiteral("%1 (the first %2 s charged whole, then each started %3 s)")
        .arg(name)
        .arg(rules.firstBlock)
        .arg(rules.nextBlock);
}

QString freeMinutesText(const BillingRules& rules) {
    if (rules.freeMinutes == 0)
        return QStringLiteral("none");
    QStringList bands;
    for (int band = Daytime; band <= Weekend; ++band)
        if (rules.coversBand(band))
            bands << timeBandName(band);
    const QString in = rules.freeBands == BillingRules::EveryBand ? QStringLiteral("every band")
                                                                  : bands.join(QStringLiteral(" and "));
    return QStringLiteral("%1 each bill period, in %2").arg(rules.freeMinutes).arg(in);
}

} // namespace

QString tariffText(const QString& rateName, const RateTable& table, const BillingRules& rules,
                   const QString& mainSymbol) {
    QString text = QStringLiteral("Rate file: %1\nRates in pence per minute, excluding tax:\n").arg(rateName);
    text += QString(NameWidth, QLatin1Char(' '));
    for (int band = Daytime; band <= Weekend; ++band)
        text += timeBandName(band).rightJustified(ValueWidth);
    text += QLatin1Char('\n');
    for (int distance = Local; distance <= International; ++distance) {
        text += distanceName(distance).leftJustified(NameWidth);
        for (int band = Daytime; band <= Weekend; ++band)
            text += table.slot(rateCodeOf(distance, band)).trimmed().rightJustified(ValueWidth);
        text += QLatin1Char('\n');
    }
    text += QStringLiteral("Tax %1 %, minimum charge %2 pence, connection charge %3 pence, discount %4 %\n\n")
                .arg(table.slot(TaxSlot).trimmed(), table.slot(MinimumSlot).trimmed(),
                     table.slot(ConnectionSlot).trimmed(), table.slot(DiscountSlot).trimmed());

    if (rules.isEmpty())
        return text +
               QStringLiteral("Billing rules: none; a call is priced as it runs, to the millisecond.\n");
    const QString rows[][2] = {
        {QStringLiteral("Blocks"), blocksText(rules)},
        {QStringLiteral("Rounding"),
         rules.roundUpTo > 0
             ? QStringLiteral("each call up to %1 pence").arg(QString::number(rules.roundUpTo, 'g', 15))
             : QStringLiteral("none")},
        {QStringLiteral("Cap per call"),
         rules.capPerCall > 0 ? mainSymbol + formatFixed(rules.capPerCall, 2) : QStringLiteral("none")},
        {QStringLiteral("Holidays"),
         rules.holidays.empty() ? QStringLiteral("none")
                                : holidaysText(rules.holidays) + QStringLiteral(" (priced as Weekend)")},
        {QStringLiteral("Free minutes"), freeMinutesText(rules)},
    };
    text += QStringLiteral("Billing rules:\n");
    for (const auto& row : rows)
        text += QStringLiteral("  %1%2\n").arg(row[0].leftJustified(RuleWidth), row[1]);
    return text;
}
