#include "core/spending/BudgetAlerts.h"

#include "core/settings/BudgetSettings.h"
#include "core/spending/BudgetPace.h"
#include "core/spending/Money.h"
#include "core/spending/SpendingReading.h"

std::optional<BudgetAlerts::Due> BudgetAlerts::due(const BudgetPace& pace, const BudgetSettings& budget,
                                                   const QString& mainSymbol) {
    if (!budget.isActive())
        return std::nullopt;
    const auto sent = [&](BudgetSettings::Notice n) { return budget.wasSent(n, pace.periodStart); };
    const qint64 limit = budget.pennies();
    const qint64 spent = Money::pennies(pace.spent);
    const bool overPace = Money::pennies(pace.projection()) > limit;
    const QString line = budgetLine(pace, budget.amount, mainSymbol);

    if (sent(BudgetSettings::Spent100))
        return std::nullopt;
    if (spent >= limit)
        return Due{{QStringLiteral("This month's budget is spent"), line, QStringLiteral("dialog-warning")},
                   {BudgetSettings::Spent100}};
    if (spent * 5 >= limit * 4 && !sent(BudgetSettings::Spent80)) {
        if (overPace && !sent(BudgetSettings::OverPace))
            return Due{{QStringLiteral("80% of this month's budget is spent, and on pace to go over it"),
                        line, QStringLiteral("dialog-warning")},
                       {BudgetSettings::Spent80, BudgetSettings::OverPace}};
        return Due{{QStringLiteral("80% of this month's budget is spent"), line,
                    QStringLiteral("dialog-information")},
                   {BudgetSettings::Spent80}};
    }
    if (overPace && !sent(BudgetSettings::OverPace))
        return Due{{QStringLiteral("On pace to go over this month's budget"), line,
                    QStringLiteral("dialog-information")},
                   {BudgetSettings::OverPace}};
    return std::nullopt;
}

void BudgetAlerts::check(const SpendingReading& reading, const SettingsFile& settings, Notifier& notifier,
                         Failed failed) {
    BudgetSettings budget = reading.budget;
    for (int n = 0; n < BudgetSettings::NoticeCount; ++n) {
        if (m_state->shown[n])
            budget.notified[n] = m_state->shown[n];
    }
    const BudgetPace pace = BudgetPace::of(reading.figures);
    const std::optional<Due> due = BudgetAlerts::due(pace, budget, reading.symbol);
    if (!due)
        return;
    const BudgetSettings::Sent now = budget.sentNow(pace.periodStart);
    const std::pair<BudgetSettings::Sent, QString> sending{now, due->notice.title};
    if (m_state->onItsWay == sending)
        return;
    m_state->onItsWay = sending;
    notifier.notify(due->notice, [state = m_state, sending, tells = due->tells, budget, settings,
                                  failed = std::move(failed)](bool shown) mutable {
        if (state->onItsWay == sending)
            state->onItsWay.reset();
        if (!shown)
            return;
        for (const BudgetSettings::Notice n : tells)
            state->shown[n] = budget.notified[n] = sending.first;
        if (!budget.writeNotified(settings, tells) && failed)
            failed(settings.failureText());
    });
}
