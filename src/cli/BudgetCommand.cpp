#include "cli/BudgetCommand.h"

#include "cli/SpendingReports.h"

BudgetCommand::BudgetCommand()
    : SpendingCommand(
          {QStringLiteral("report"), QStringLiteral("budget")}, QStringLiteral("report budget"),
          QStringLiteral("  report budget [--json]\n"
                         "      The monthly budget's line and projection, as the main window shows it.\n"),
          Json) {}

int BudgetCommand::execute(const Run& run) const {
    SpendingReading reading;
    if (const int status = read(run, reading))
        return status;
    return run.context().print(SpendingReports::budget(reading, run.json));
}
