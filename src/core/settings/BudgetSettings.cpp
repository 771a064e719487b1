#include "core/settings/BudgetSettings.h"

#include "core/seams/DayCount.h"
#include "core/settings/MeterSettings.h"
#include "core/spending/Money.h"
#include "core/tariff/Costing.h"

BudgetSettings BudgetSettings::read(const SettingsFile& file) {
    BudgetSettings budget;
    budget.on = file.ReadSettingBool(Section, BudgetOnKey, false);
    const std::optional<double> amount =
        parseAmount(file.ReadSettingString(Section, AmountKey, DefaultAmount));
    budget.amount = amount && *amount > 0 && Money::isAmount(*amount) ? *amount : 0;
    const int day = file.ReadSettingInteger(Section, BillDayKey, DefaultBillDay);
    budget.billDay = day >= 1 && day <= LastBillDay ? day : DefaultBillDay;
    for (int i = 0; i < NoticeCount; ++i) {
        const QDate date = QDate::fromString(
            file.ReadSettingString(Section, NoticeKeys[i], QString()).trimmed(), Qt::ISODate);
        if (date.isValid())
            budget.notified[i] = DayCount::dayOfDate(date);
    }
    return budget;
}

bool BudgetSettings::write(const SettingsFile& file) const {
    return file.WriteSettingBool(Section, BudgetOnKey, on) &&
           file.WriteSettingString(Section, AmountKey, formatFixed(amount, 2)) &&
           file.WriteSettingInteger(Section, BillDayKey, billDay);
}

bool BudgetSettings::writeNotified(const SettingsFile& file) const {
    for (int i = 0; i < NoticeCount; ++i) {
        const QString text =
            notified[i] ? DayCount::dateOfDay(*notified[i]).toString(Qt::ISODate) : QString();
        if (!file.WriteSettingString(Section, NoticeKeys[i], text))
            return false;
    }
    return true;
}
