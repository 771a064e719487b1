#pragma once

#include "core/settings/SettingsFile.h"

#include <QString>

#include <array>
#include <optional>

// The monthly budget, in a section of the settings file of its own:
//
//     [Budget]
//     BudgetOn=1
//     BudgetAmount=30.00
//     BillDay=1
//     Notified80=2025-03-01
//
// Spending is the costs with tax. The Notified keys hold the first day of the
// bill period in which each notice was last sent, so that a notice goes out
// once per period even across a restart.
class BudgetSettings {
public:
    static inline const QString Section = QStringLiteral("Budget");
    static inline const QString BudgetOnKey = QStringLiteral("BudgetOn");
    static inline const QString AmountKey = QStringLiteral("BudgetAmount");
    static inline const QString BillDayKey = QStringLiteral("BillDay");
    static inline const QString DefaultAmount = QStringLiteral("30.00");
    static constexpr int DefaultBillDay = 1;
    static constexpr int LastBillDay = 28; // every month has it

    // The notices sent at most once per bill period.
    enum Notice { Spent80, Spent100, OverPace, NoticeCount };
    static inline const std::array<QString, NoticeCount> NoticeKeys = {
        QStringLiteral("Notified80"), QStringLiteral("Notified100"), QStringLiteral("NotifiedPace")};

    bool on = false;
    double amount = 30; // main units
    int billDay = DefaultBillDay;
    // For each notice, the first day (a day number) of the period it was last sent in.
    std::array<std::optional<qint64>, NoticeCount> notified{};

    // A budget that is on but whose amount is not a positive number counts as off.
    bool isActive() const { return on && amount > 0; }

    // A bill day outside 1..28 reads as 1; an amount that is not a number, or
    // not above zero, reads as 0.
    static BudgetSettings read(const SettingsFile& file);
    // The switch, the amount and the bill day. False when the file cannot be
    // written (the file's failureText() says why).
    bool write(const SettingsFile& file) const;
    // The periods of the notices sent.
    bool writeNotified(const SettingsFile& file) const;
};
