#pragma once

#include "core/settings/SettingsFile.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

// The monthly budget, in a section of the settings file of its own:
//
//     [Budget]
//     BudgetOn=1
//     BudgetAmount=30.00
//     BillDay=1
//     Notified80=2025-03-01 30.00
//
// Spending is the costs with tax. The Notified keys hold the first day of the
// bill period in which each notice was last sent and the budget it was sent
// for, so that a notice goes out once per period and budget even across a
// restart. A record without an amount (written before budgets were
// remembered) stands for any budget.
class BudgetSettings {
public:
    static inline const QString Section = QStringLiteral("Budget");
    static inline const QString BudgetOnKey = QStringLiteral("BudgetOn");
    static inline const QString AmountKey = QStringLiteral("BudgetAmount");
    static inline const QString BillDayKey = QStringLiteral("BillDay");
    static inline const QString DefaultAmount = QStringLiteral("30.00");
    static constexpr int DefaultBillDay = 1;
    static constexpr int LastBillDay = 28; // every month has it

    // The notices sent at most once per bill period and budget.
    enum Notice { Spent80, Spent100, OverPace, NoticeCount };
    static inline const std::array<QString, NoticeCount> NoticeKeys = {
        QStringLiteral("Notified80"), QStringLiteral("Notified100"), QStringLiteral("NotifiedPace")};

    // When a notice was sent: the first day (a day number) of the bill period,
    // and the budget in pennies, when known.
    struct Sent {
        qint64 period = 0;
        std::optional<qint64> budget;
        bool operator==(const Sent&) const = default;
    };

    bool on = false;
    double amount = 30; // main units
    int billDay = DefaultBillDay;
    std::array<std::optional<Sent>, NoticeCount> notified{};

    // A budget that is on but whose amount is not a positive number counts as off.
    bool isActive() const { return on && amount > 0; }
    // The amount as the budget's line shows it, in pennies.
    qint64 pennies() const;
    // Whether the notice was sent in this period for this budget.
    bool wasSent(Notice notice, qint64 period) const;
    // What to record for a notice sent now.
    Sent sentNow(qint64 period) const { return {period, pennies()}; }

    // A bill day outside 1..28 reads as 1; an amount that is not a number, or
    // not above zero, reads as 0.
    static BudgetSettings read(const SettingsSnapshot& file);
    // The switch, the amount and the bill day, among other changes.
    void addTo(SettingsChanges& changes) const;
    // The same in one write. False when the file cannot be written (the
    // file's failureText() says why).
    bool write(const SettingsFile& file) const;
    // The records of the notices given, in one write.
    bool writeNotified(const SettingsFile& file, const std::vector<Notice>& notices) const;
};
