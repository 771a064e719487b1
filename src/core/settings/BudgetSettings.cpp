#include "core/settings/BudgetSettings.h"

#include "core/seams/DayCount.h"
#include "core/settings/MeterSettings.h"
#include "core/spending/Money.h"
#include "core/tariff/Costing.h"

namespace {

// "2025-03-01 30.00": the period's first day, then the budget.
std::optional<BudgetSettings::Sent> sentOf(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QDate date = QDate::fromString(parts.value(0), Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    BudgetSettings::Sent sent{DayCount::dayOfDate(date), std::nullopt};
    if (const std::optional<double> budget = parseAmount(parts.value(1)); budget && Money::isAmount(*budget))
        sent.budget = Money::pennies(*budget);
    return sent;
}

QString textOf(const std::optional<BudgetSettings::Sent>& sent) {
    if (!sent)
        return {};
    QString text = DayCount::dateOfDay(sent->period).toString(Qt::ISODate);
    if (sent->budget)
        text += QLatin1Char(' ') + formatFixed(Money::fromPennies(*sent->budget), 2);
    return text;
}

} // namespace

qint64 BudgetSettings::pennies() const {
    return Money::pennies(amount);
}

bool BudgetSettings::wasSent(Notice notice, qint64 period) const {
    const std::optional<Sent>& sent = notified[notice];
    return sent && sent->period == period && (!sent->budget || *sent->budget == pennies());
}

BudgetSettings BudgetSettings::read(const SettingsSnapshot& file) {
    BudgetSettings budget;
    budget.on = file.ReadSettingBool(Section, BudgetOnKey, false);
    const std::optional<double> amount =
        parseAmount(file.ReadSettingString(Section, AmountKey, DefaultAmount));
    budget.amount = amount && *amount > 0 && Money::isAmount(*amount) ? *amount : 0;
    const int day = file.ReadSettingInteger(Section, BillDayKey, DefaultBillDay);
    budget.billDay = day >= 1 && day <= LastBillDay ? day : DefaultBillDay;
    for (int i = 0; i < NoticeCount; ++i)
        budget.notified[i] = sentOf(file.ReadSettingString(Section, NoticeKeys[i], QString()));
    return budget;
}

void BudgetSettings::addTo(SettingsChanges& changes) const {
    changes.setBool(Section, BudgetOnKey, on)
        .setString(Section, AmountKey, formatFixed(amount, 2))
        .setInteger(Section, BillDayKey, billDay);
}

bool BudgetSettings::write(const SettingsFile& file) const {
    SettingsChanges changes;
    addTo(changes);
    return file.write(changes);
}

bool BudgetSettings::writeNotified(const SettingsFile& file, const std::vector<Notice>& notices) const {
    SettingsChanges changes;
    for (const Notice notice : notices)
        changes.setString(Section, NoticeKeys[notice], textOf(notified[notice]));
    return file.write(changes);
}
