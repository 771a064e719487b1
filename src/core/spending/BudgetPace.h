#pragma once

#include <QString>
#include <QtGlobal>

class SpendingFigures;

// Where the spending of the bill period stands and where it is heading.
//
// The projection is what was spent in the period so far plus the average
// daily spend of the 28 whole days before today times the days left after
// today. Today counts as spent, not as a day left, and does not enter the
// average while it is still going; the average does not depend on where the
// period starts, so the projection does not jump when a new period begins.
struct BudgetPace {
    static constexpr int AverageDays = 28;

    qint64 periodStart = 0; // the first day of the bill period (a day number)
    qint64 periodEnd = 0;   // the first day of the next one
    double spent = 0;       // costs with tax of the calls dated in the period
    double dailyAverage = 0;
    int daysLeft = 0; // whole days after today to the period's end

    double projection() const { return spent + dailyAverage * daysLeft; }

    static BudgetPace of(const SpendingFigures& figures);
};

// "£12.40 of £30.00 this month · on pace for £27.10", the amounts as the main
// window shows its totals.
QString budgetLine(const BudgetPace& pace, double budget, const QString& mainSymbol);
