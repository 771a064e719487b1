#pragma once

#include "cli/SpendingCommand.h"

// `dialtally report budget`: the monthly budget's line and projection, as the
// main window shows them.
class BudgetCommand final : public SpendingCommand {
public:
    BudgetCommand();

private:
    int execute(const Run& run) const override;
};
