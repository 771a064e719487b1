#include "core/spending/BudgetPace.h"

#include "core/spending/Money.h"
#include "core/spending/SpendingFigures.h"

BudgetPace BudgetPace::of(const SpendingFigures& figures) {
    const SpendBar& period = figures.bars(SpendView::Month).back();
    const qint64 today = figures.today();
    BudgetPace pace;
    pace.periodStart = period.firstDay;
    pace.periodEnd = period.endDay;
    pace.spent = period.total.gross.total();
    pace.dailyAverage = figures.between(today - AverageDays, today).gross.total() / AverageDays;
    pace.daysLeft = int(period.endDay - today - 1);
    return pace;
}

QString budgetLine(const BudgetPace& pace, double budget, const QString& mainSymbol) {
    return QStringLiteral("%1 of %2 this month \u00b7 on pace for %3")
        .arg(Money::totalText(pace.spent, mainSymbol), Money::totalText(budget, mainSymbol),
             Money::totalText(pace.projection(), mainSymbol));
}
