#pragma once

#include "cli/Command.h"

// `dialtally report [today|week|month|year|all] [--json]`: how many calls the
// period has and what they cost, as the viewer's selection of it says.
class PeriodReportCommand final : public Command {
public:
    PeriodReportCommand();
    bool claims(const QCommandLineParser& parser) const override;

private:
    int execute(const Run& run) const override;
};
