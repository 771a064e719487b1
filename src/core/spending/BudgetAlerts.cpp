#include "core/spending/BudgetAlerts.h"

#include "core/settings/BudgetSettings.h"
#include "core/spending/BudgetPace.h"
#include "core/spending/SpendingFigures.h"

std::vector<Notice> BudgetAlerts::due(const BudgetPace& pace, BudgetSettings& budget,
                                      const QString& mainSymbol) {
    if (!budget.isActive())
        return {};
    const auto sent = [&](BudgetSettings::Notice n) { return budget.notified[n] == pace.periodStart; };
    const auto mark = [&](BudgetSettings::Notice n) { budget.notified[n] = pace.periodStart; };
    const bool overPace = pace.projection() > budget.amount;
    const QString line = budgetLine(pace, budget.amount, mainSymbol);

    if (pace.spent >= budget.amount && !sent(BudgetSettings::Spent100)) {
        mark(BudgetSettings::Spent100);
        mark(BudgetSettings::Spent80);
        mark(BudgetSettings::OverPace);
        return {{QStringLiteral("This month's budget is spent"), line, QStringLiteral("dialog-warning")}};
    }
    if (pace.spent >= 0.8 * budget.amount && !sent(BudgetSettings::Spent80)) {
        mark(BudgetSettings::Spent80);
        if (overPace)
            mark(BudgetSettings::OverPace);
        return {{QStringLiteral("80% of this month's budget is spent"), line,
                 QStringLiteral("dialog-information")}};
    }
    if (overPace && !sent(BudgetSettings::OverPace)) {
        mark(BudgetSettings::OverPace);
        return {{QStringLiteral("On pace to go over this month's budget"), line,
                 QStringLiteral("dialog-information")}};
    }
    return {};
}

QString BudgetAlerts::check(const SpendingFigures& figures, const SettingsFile& settings, Notifier& notifier,
                            const QString& mainSymbol) {
    BudgetSettings budget = BudgetSettings::read(settings);
    const BudgetPace pace = BudgetPace::of(figures);
    for (int n = 0; n < BudgetSettings::NoticeCount; ++n) {
        if (m_sent[n] == pace.periodStart)
            budget.notified[n] = m_sent[n];
    }
    const std::vector<Notice> notices = due(pace, budget, mainSymbol);
    if (notices.empty())
        return {};
    m_sent = budget.notified;
    const bool stored = budget.writeNotified(settings);
    for (const Notice& notice : notices)
        notifier.notify(notice);
    return stored ? QString() : settings.failureText();
}
